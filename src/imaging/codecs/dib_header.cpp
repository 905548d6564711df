#include "imaging/codecs/dib_header.h"

#include <algorithm>
#include <cstdlib>

#include "imaging/codecs/byte_order.h"

namespace quillmere {

bool DibHeader::storesPlainRows() const {
    return compression == kDibRgb || compression == kDibBitFields ||
           compression == kDibAlphaBitFields;
}

std::uint64_t DibHeader::plainPixelBytes() const {
    const auto columns = static_cast<std::uint64_t>(std::llabs(width));
    const auto rows = static_cast<std::uint64_t>(std::llabs(height));
    if (columns == 0 || rows == 0) return 0;
    const std::uint64_t bits = columns * bitCount;
    return (bits + 31) / 32 * 4 * rows;
}

std::optional<DibHeader> readDibHeader(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 12) return std::nullopt;
    DibHeader header;
    header.headerSize = little32(bytes, offset);
    if (header.headerSize == kDibCoreHeaderSize) {
        header.width = little16(bytes, offset + 4);
        header.height = little16(bytes, offset + 6);
        header.bitCount = little16(bytes, offset + 10);
        return header;
    }
    // Every larger header (OS/2 2.x's 16 to 64 bytes, Windows' 40 bytes and
    // its extensions, and any later one) starts with the same fields.
    if (header.headerSize < 16) return std::nullopt;
    if (bytes.size() - offset < 16) return std::nullopt;
    header.width = static_cast<std::int32_t>(little32(bytes, offset + 4));
    header.height = static_cast<std::int32_t>(little32(bytes, offset + 8));
    header.bitCount = little16(bytes, offset + 14);
    if (header.headerSize > 16) {
        if (bytes.size() - offset < 20) return std::nullopt;
        header.compression = little32(bytes, offset + 16);
    }
    return header;
}

std::size_t earliestBmpPixels(std::span<const std::uint8_t> bytes, const DibHeader& header) {
    const std::size_t headersEnd =
        std::min<std::size_t>(bytes.size(), kBmpFileHeaderSize + header.headerSize);
    const std::size_t declared = little32(bytes, 10);
    return declared >= headersEnd && declared <= bytes.size() ? declared : headersEnd;
}

}  // namespace quillmere
