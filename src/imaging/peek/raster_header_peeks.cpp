// The formats whose size sits in a fixed header at the start: BMP, PNG
// and GIF.

#include <algorithm>
#include <array>
#include <cstdlib>

#include "imaging/codecs/dib_header.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/peek/peek_source.h"

namespace quillmere::peek {

namespace {

bool isQtBitmapDepth(unsigned bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool isPngDepthOf(unsigned colourType, unsigned depth) {
    switch (colourType) {
        case 0:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

bool isGifSignatureAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    const auto upper = [](std::uint8_t c) { return static_cast<char>(c & ~0x20u); };
    return upper(bytes[at]) == 'G' && upper(bytes[at + 1]) == 'I' && upper(bytes[at + 2]) == 'F';
}

}  // namespace

std::optional<PictureSize> peekBmp(const PeekSource& file) {
    constexpr std::size_t kFileHeader = 14;
    // The file header and the fields every information header starts with.
    std::array<std::uint8_t, kFileHeader + 20> head{};
    const std::size_t length = file.holds(0, head.size()) ? head.size() : file.size();
    if (length < kFileHeader || !file.read(0, std::span(head).first(length))) return std::nullopt;
    if (head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const std::optional<DibHeader> header =
        readDibHeader(std::span<const std::uint8_t>(head).first(length), kFileHeader);
    if (!header || header->width <= 0 || header->height == 0) return std::nullopt;
    if (!isQtBitmapDepth(header->bitCount)) return std::nullopt;
    const long long width = header->width;
    const long long height = std::llabs(header->height);
    if (!fitsPictureLimits(width, height)) return std::nullopt;

    // As the decoder does: plain rows that the file cannot hold are refused.
    const std::uint64_t headersEnd =
        std::min<std::uint64_t>(file.size(), kFileHeader + header->headerSize);
    const std::uint64_t declared = little32(head, 10);
    const std::uint64_t pixelsStart =
        declared >= headersEnd && declared <= file.size() ? declared : headersEnd;
    if (header->storesPlainRows() && file.size() - pixelsStart < header->plainPixelBytes()) {
        return std::nullopt;
    }
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PictureSize> peekPng(const PeekSource& file) {
    static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P',  'N',  'G',
                                                               '\r', '\n', 0x1A, '\n'};
    // The signature, then the IHDR chunk's length, type and 13 bytes of data.
    const auto head = file.bytes<29>(0);
    if (!head || !std::equal(kSignature.begin(), kSignature.end(), head->begin())) {
        return std::nullopt;
    }
    if (big32(*head, 8) != 13 || big32(*head, 12) != 0x49484452) return std::nullopt;  // "IHDR"
    const std::uint32_t width = big32(*head, 16);
    const std::uint32_t height = big32(*head, 20);
    const unsigned depth = (*head)[24];
    const unsigned colourType = (*head)[25];
    const unsigned interlace = (*head)[28];
    if (width == 0 || height == 0 || !fitsPictureLimits(width, height)) return std::nullopt;
    if (!isPngDepthOf(colourType, depth) || (*head)[26] != 0 || (*head)[27] != 0 || interlace > 1) {
        return std::nullopt;
    }
    PictureSize size{static_cast<int>(width), static_cast<int>(height)};
    // An interlaced picture that may have transparency (any colour type,
    // through a tRNS chunk) is read whole as 32-bit RGBA first.
    if (interlace == 1) size.codecBytes = std::uint64_t{width} * height * 4;
    return size;
}

std::optional<PictureSize> peekGif(const PeekSource& file) {
    // A four-byte prefix may come before the signature.
    const auto head = file.bytes<7>(0);
    if (!head) return std::nullopt;
    std::uint64_t start = 0;
    if (!isGifSignatureAt(*head, 0)) {
        if (!isGifSignatureAt(*head, 4)) return std::nullopt;
        start = 4;
    }
    // The signature and version, then the logical screen.
    const auto screen = file.bytes<13>(start);
    if (!screen) return std::nullopt;
    const std::uint32_t width = little16(*screen, 6);
    const std::uint32_t height = little16(*screen, 8);
    const unsigned flags = (*screen)[10];
    // giflib reads the global colour table as it opens the file.
    const std::uint64_t tableBytes = (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0;
    if (!file.holds(start + 13, tableBytes)) return std::nullopt;
    if (!fitsPictureLimits(width, height)) return std::nullopt;
    if (width == 0 || height == 0) return PictureSize{};
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace quillmere::peek
