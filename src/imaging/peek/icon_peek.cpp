// An icon's size: always 32 x 32, the size the decoder scales the image it
// picks to, and that image's own size from its header.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "imaging/codecs/dib_header.h"
#include "imaging/codecs/ico_decoder.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/peek/peek_source.h"

namespace quillmere::peek {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
// Real icon files hold a dozen images or so; a directory beyond this is
// not read.
constexpr unsigned kMaxEntries = 1024;

// The first bytes of an entry's image: enough for a PNG's IHDR fields or
// the start of a bitmap's header.
using ImageHead = std::array<std::uint8_t, 26>;

bool isPng(std::span<const std::uint8_t> head) {
    return head.size() >= 4 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' &&
           head[3] == 'G';
}

// As the decoder counts an entry's colour depth when choosing.
unsigned entryBitCount(const PeekSource& file, std::span<const std::uint8_t> entry) {
    if (const unsigned bits = little16(entry, 6); bits != 0) return bits;
    const std::uint64_t offset = little32(entry, 12);
    if (const auto head = file.bytes<26>(offset)) {
        if (!isPng(*head)) return little16(*head, 14);
        const unsigned depth = (*head)[24];
        const unsigned colourType = (*head)[25];
        const unsigned channels = colourType == 6   ? 4
                                  : colourType == 2 ? 3
                                  : colourType == 4 ? 2
                                                    : 1;
        return depth * channels;
    }
    const unsigned colours = entry[2];
    unsigned depth = 0;
    while ((1u << depth) < colours) ++depth;
    return depth;
}

int chooseImage(const PeekSource& file, std::span<const std::uint8_t> directory, unsigned count) {
    int best = -1;
    int bestDistance = 0;
    unsigned bestBits = 0;
    for (unsigned i = 0; i < count; ++i) {
        const auto entry = directory.subspan(kEntrySize * i, kEntrySize);
        const int width = entry[0] == 0 ? 256 : entry[0];
        const int height = entry[1] == 0 ? 256 : entry[1];
        const int distance =
            std::abs(width - kStandardIconSize) + std::abs(height - kStandardIconSize);
        const unsigned bits = entryBitCount(file, entry);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = static_cast<int>(i);
            bestDistance = distance;
            bestBits = bits;
        }
    }
    return best;
}

// The chosen image's own size: a PNG's IHDR, or a bitmap's header, whose
// height counts the mask's rows too.
std::optional<std::pair<long long, long long>> storedSize(const PeekSource& file,
                                                          std::uint64_t offset) {
    ImageHead head{};
    const std::uint64_t length =
        file.holds(offset, head.size()) ? head.size() : file.size() - std::min(offset, file.size());
    const auto bytes = std::span(head).first(static_cast<std::size_t>(length));
    if (!file.read(offset, bytes)) return std::nullopt;
    if (isPng(bytes)) {
        if (bytes.size() < 24) return std::nullopt;
        return std::pair<long long, long long>(big32(bytes, 16), big32(bytes, 20));
    }
    const std::optional<DibHeader> header = readDibHeader(bytes, 0);
    if (!header) return std::nullopt;
    return std::pair(std::llabs(header->width), std::llabs(header->height) / 2);
}

}  // namespace

std::optional<PictureSize> peekIcon(const PeekSource& file) {
    const auto head = file.bytes<kDirectorySize>(0);
    if (!head || little16(*head, 0) != 0) return std::nullopt;
    const unsigned type = little16(*head, 2);
    const unsigned count = little16(*head, 4);
    if ((type != 1 && type != 2) || count == 0 || count > kMaxEntries) return std::nullopt;
    std::vector<std::uint8_t> directory(kEntrySize * count);
    if (!file.read(kDirectorySize, directory)) return std::nullopt;

    const int index = chooseImage(file, directory, count);
    const std::uint64_t offset =
        little32(directory, kEntrySize * static_cast<std::size_t>(index) + 12);
    const auto stored = storedSize(file, offset);
    if (!stored || stored->first == 0 || stored->second == 0 ||
        !fitsIconLimits(stored->first, stored->second)) {
        return std::nullopt;
    }
    return PictureSize{kStandardIconSize, kStandardIconSize, static_cast<int>(stored->first),
                       static_cast<int>(stored->second)};
}

}  // namespace quillmere::peek
