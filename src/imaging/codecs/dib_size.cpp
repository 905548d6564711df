#include "imaging/codecs/dib_size.h"

namespace quillmere {

namespace {

std::uint32_t read32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

}  // namespace

std::optional<DibSize> readDibSize(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 12) return std::nullopt;
    const std::uint32_t headerSize = read32(bytes, offset);
    if (headerSize == 12) {
        const long long width = bytes[offset + 4] | (bytes[offset + 5] << 8);
        const long long height = bytes[offset + 6] | (bytes[offset + 7] << 8);
        return DibSize{width, height};
    }
    // The 16- and 64-byte headers of OS/2 2.x, the 40-byte one and its
    // 52-, 56-, 108- and 124-byte extensions.
    switch (headerSize) {
        case 16:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            break;
        default:
            return std::nullopt;
    }
    return DibSize{static_cast<std::int32_t>(read32(bytes, offset + 4)),
                   static_cast<std::int32_t>(read32(bytes, offset + 8))};
}

}  // namespace quillmere
