#include "imaging/codecs/bmp_layout.h"

#include <bit>
#include <climits>

#include "imaging/codecs/byte_order.h"
#include "imaging/codecs/byte_stream.h"

namespace quillmere {

namespace {

constexpr std::uint32_t kV2Header = 52;
constexpr std::uint32_t kV3Header = 56;
constexpr std::uint32_t kOs2Header = 64;
constexpr std::uint32_t kV4Header = 108;
constexpr std::uint32_t kV5Header = 124;
// No bitmap of more pixels than this is read.
constexpr std::uint64_t kMaxReaderPixels = 16384ull * 16384ull;

struct InfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    unsigned planes = 0;
    unsigned bitCount = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t coloursUsed = 0;
    bool masksInHeader = false;            // V2 and later carry the bit-field masks
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
};

// The bytes of the header that are read: all of a V2 to V5 header, the
// 40 leading ones of the info and OS/2 headers, and the core header's 12
// (any other size is read as a core header).
std::uint32_t fieldBytes(std::uint32_t size) {
    switch (size) {
        case kDibInfoHeaderSize:
        case kOs2Header:
            return kDibInfoHeaderSize;
        case kV2Header:
        case kV3Header:
        case kV4Header:
        case kV5Header:
            return size;
        default:
            return kDibCoreHeaderSize;
    }
}

std::optional<InfoHeader> readInfoHeader(std::span<const std::uint8_t> b) {
    constexpr std::size_t at = kBmpFileHeaderSize;
    if (b.size() < at + 4) return std::nullopt;
    InfoHeader h;
    h.size = little32(b, at);
    const std::uint32_t bytes = fieldBytes(h.size);
    if (b.size() - at < bytes) return std::nullopt;
    if (bytes == kDibCoreHeaderSize) {
        h.width = static_cast<std::int16_t>(little16(b, at + 4));
        h.height = static_cast<std::int16_t>(little16(b, at + 6));
        h.planes = little16(b, at + 8);
        h.bitCount = little16(b, at + 10);
        return h;
    }
    h.width = static_cast<std::int32_t>(little32(b, at + 4));
    h.height = static_cast<std::int32_t>(little32(b, at + 8));
    h.planes = little16(b, at + 12);
    h.bitCount = little16(b, at + 14);
    h.compression = little32(b, at + 16);
    h.coloursUsed = little32(b, at + 32);
    if (bytes >= kV2Header) {
        h.masksInHeader = true;
        for (std::size_t i = 0; i < 3; ++i) h.masks[i] = little32(b, at + 40 + 4 * i);
        if (bytes >= kV3Header) h.masks[3] = little32(b, at + 52);
    }
    return h;
}

bool isAccepted(const InfoHeader& h) {
    const unsigned bits = h.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    if (h.planes != 1) return false;
    const std::uint32_t c = h.compression;
    const bool fits = c == kDibRgb || (bits == 4 && c == kDibRle4) ||
                      (bits == 8 && c == kDibRle8) ||
                      ((bits == 16 || bits == 32) && c == kDibBitFields);
    if (!fits) return false;
    if (h.height == INT_MIN || h.width <= 0 || h.height == 0) return false;
    const std::uint64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
    return static_cast<std::uint64_t>(h.width) * rows <= kMaxReaderPixels;
}

// The field for a mask; empty for a mask of all 32 bits, whose count of
// values does not fit the reader's arithmetic.
std::optional<ChannelField> fieldOf(std::uint32_t mask) {
    ChannelField field;
    field.mask = mask;
    field.shift = mask == 0 ? 0 : static_cast<unsigned>(std::countr_zero(mask));
    const std::uint32_t values = (mask >> field.shift) + 1;
    if (values == 0) return std::nullopt;
    field.scale = 256 / values;
    return field;
}

// 16-bit pixels without masks hold 5 bits a channel, 24- and 32-bit ones
// a byte.
std::array<ChannelField, 3> plainChannels(unsigned bitCount) {
    if (bitCount == 16) return {{{0x7C00, 10, 8}, {0x03E0, 5, 8}, {0x001F, 0, 8}}};
    return {{{0xFF0000, 16, 1}, {0x00FF00, 8, 1}, {0x0000FF, 0, 1}}};
}

bool readPalette(ByteStream& in, const InfoHeader& h, BmpLayout& layout) {
    const std::uint32_t declared = h.coloursUsed != 0 ? h.coloursUsed : 1u << h.bitCount;
    if (declared < 1 || declared > 256) return false;
    const std::size_t entryBytes = h.size == kDibCoreHeaderSize ? 3 : 4;
    layout.palette.reserve(declared);
    std::uint8_t entry[4];
    for (std::uint32_t i = 0; i < declared; ++i) {
        if (!in.read(entry, entryBytes)) return false;
        layout.palette.push_back({entry[2], entry[1], entry[0]});
        // The pixels must follow the colour table.
        if (in.atEnd()) return false;
    }
    return true;
}

bool readChannels(ByteStream& in, const InfoHeader& h, BmpLayout& layout) {
    if (h.compression != kDibBitFields) {
        layout.channels = plainChannels(h.bitCount);
        return true;
    }
    std::array<std::uint32_t, 4> masks = h.masks;
    if (!h.masksInHeader) {
        // After a 40-byte header the red, green and blue masks follow it.
        std::uint8_t stored[12];
        if (!in.read(stored, sizeof stored)) return false;
        for (std::size_t i = 0; i < 3; ++i) masks[i] = little32(stored, 4 * i);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<ChannelField> field = fieldOf(masks[i]);
        if (!field) return false;
        if (i < 3) layout.channels[i] = *field;
    }
    return true;
}

}  // namespace

std::optional<BmpLayout> readBmpLayout(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kBmpFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::optional<InfoHeader> header = readInfoHeader(bytes);
    if (!header || !isAccepted(*header)) return std::nullopt;
    const InfoHeader& h = *header;

    ByteStream in(bytes);
    in.seek(kBmpFileHeaderSize + fieldBytes(h.size));
    if (in.atEnd()) return std::nullopt;
    // The colour table or masks follow the whole header, wherever its
    // fields stopped; a header running past the end leaves them after its
    // fields.
    in.seek(kBmpFileHeaderSize + std::uint64_t{h.size});

    BmpLayout layout;
    layout.width = h.width;
    layout.height = h.height < 0 ? -h.height : h.height;
    layout.topDown = h.height < 0;
    layout.bitCount = h.bitCount;
    layout.compression = h.compression;
    const bool ok = h.bitCount <= 8 ? readPalette(in, h, layout) : readChannels(in, h, layout);
    if (!ok) return std::nullopt;

    const std::uint32_t declaredStart = little32(bytes, 10);
    if (declaredStart > in.position()) in.seek(declaredStart);
    layout.pixelsAt = in.position();
    return layout;
}

}  // namespace quillmere
