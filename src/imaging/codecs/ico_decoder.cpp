#include "imaging/codecs/ico_decoder.h"

#include <algorithm>
#include <cstdlib>

#include "common/app_error.h"
#include "imaging/codecs/byte_order.h"
#include "imaging/codecs/dib_header.h"
#include "imaging/codecs/icon_entry_image.h"
#include "imaging/codecs/icon_scaling.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

bool isPngAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
    static constexpr std::uint8_t kPng[4] = {0x89, 'P', 'N', 'G'};
    return offset <= bytes.size() && bytes.size() - offset >= 4 &&
           std::equal(kPng, kPng + 4, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Colour depth of an entry: its directory value, or, when that is 0, the
// depth its image data declares (a PNG's IHDR or a DIB's header), or the
// depth its colour count implies.
unsigned entryBitCount(std::span<const std::uint8_t> bytes, std::size_t entry) {
    if (const unsigned bits = little16(bytes, entry + 6); bits != 0) return bits;
    const std::uint32_t offset = little32(bytes, entry + 12);
    if (offset + 26ull <= bytes.size()) {
        if (!isPngAt(bytes, offset)) return little16(bytes, offset + 14);
        const unsigned depth = bytes[offset + 24];
        const unsigned colourType = bytes[offset + 25];
        const unsigned channels = colourType == 6   ? 4
                                  : colourType == 2 ? 3
                                  : colourType == 4 ? 2
                                                    : 1;
        return depth * channels;
    }
    const unsigned colours = bytes[entry + 2];
    unsigned depth = 0;
    while ((1u << depth) < colours) ++depth;
    return depth;
}

// The reader leaves 16- and 24-bit images opaque; the pixels their AND
// mask covers are made transparent here. The mask is looked for after the
// header's own size and the rows of the image's size at the header's bit
// count, and left alone when the file does not hold all of it.
void applyAndMask(std::span<const std::uint8_t> bytes, int index, PremultipliedImage& image) {
    const std::size_t entry = kDirectorySize + kEntrySize * static_cast<std::size_t>(index);
    const std::uint64_t offset = little32(bytes, entry + 12);
    if (offset + 40 > bytes.size()) return;
    const unsigned bits = little16(bytes, offset + 14);
    if (bits != 16 && bits != 24) return;
    const auto width = static_cast<std::uint64_t>(image.width);
    const auto height = static_cast<std::uint64_t>(image.height);
    const std::uint64_t colourRow = (width * bits + 31) / 32 * 4;
    const std::uint64_t maskRow = (width + 31) / 32 * 4;
    const std::uint64_t mask = offset + little32(bytes, offset) + colourRow * height;
    if (mask + maskRow * height > bytes.size()) return;

    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint8_t* bitsRow = bytes.data() + mask + maskRow * (height - 1 - y);
        std::uint32_t* line = image.row(static_cast<int>(y));
        for (std::uint64_t x = 0; x < width; ++x) {
            if (bitsRow[x / 8] & (0x80u >> (x % 8))) line[x] = 0;
        }
    }
}

}  // namespace

void checkIconImageSize(std::span<const std::uint8_t> bytes, int index) {
    const std::size_t entry = kDirectorySize + kEntrySize * static_cast<std::size_t>(index);
    const std::size_t offset = little32(bytes, entry + 12);
    long long width = 0;
    long long height = 0;
    if (isPngAt(bytes, offset)) {
        if (bytes.size() - offset < 24) return;
        width = big32(bytes, offset + 16);
        height = big32(bytes, offset + 20);
    } else if (const std::optional<DibHeader> size = readDibHeader(bytes, offset)) {
        width = std::llabs(size->width);
        height = std::llabs(size->height) / 2;
    } else {
        return;
    }
    if (!fitsIconLimits(width, height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(width, height));
    }
}

int chooseStandardIconImage(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kDirectorySize || little16(bytes, 0) != 0) return -1;
    const unsigned type = little16(bytes, 2);
    const unsigned count = little16(bytes, 4);
    if ((type != 1 && type != 2) || count == 0) return -1;
    if (bytes.size() < kDirectorySize + kEntrySize * count) return -1;

    int best = -1;
    int bestDistance = 0;
    unsigned bestBits = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = kDirectorySize + kEntrySize * i;
        const int width = bytes[entry] == 0 ? 256 : bytes[entry];
        const int height = bytes[entry + 1] == 0 ? 256 : bytes[entry + 1];
        const int distance =
            std::abs(width - kStandardIconSize) + std::abs(height - kStandardIconSize);
        const unsigned bits = entryBitCount(bytes, entry);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = static_cast<int>(i);
            bestDistance = distance;
            bestBits = bits;
        }
    }
    return best;
}

Bitmap24 decodeIcon(std::span<const std::uint8_t> bytes) {
    const int index = chooseStandardIconImage(bytes);
    if (index < 0) throw InvalidPictureError(imaging_messages::iconNotValid());

    checkIconImageSize(bytes, index);
    std::optional<PremultipliedImage> image = readIconEntryImage(bytes, index);
    if (!image) throw InvalidPictureError(imaging_messages::iconNotValid());
    applyAndMask(bytes, index, *image);
    if (image->width != kStandardIconSize || image->height != kStandardIconSize) {
        image = scaleSmoothly(*image, kStandardIconSize, kStandardIconSize);
    }
    return overWhite(*image);
}

}  // namespace quillmere
