#include "imaging/metafile/dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <optional>

#include "imaging/codecs/dib_header.h"

namespace quillmere::metafile {

namespace {

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m)
        : mask(m), shift(m ? std::countr_zero(m) : 0), bits(std::popcount(m)) {}

    int value(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<int>(v >> (bits - 8));
        return static_cast<int>(v * 255u / ((1u << bits) - 1u));
    }
};

// What the header says about the bitmap, before any pixel is read.
struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kDibRgb;
    std::array<std::uint32_t, 3> masks{};
    std::size_t tableOffset = 0;  // where the colour table starts in the header block
    std::size_t tableEntries = 0;
    std::size_t entrySize = 4;        // RGBQUAD, or RGBTRIPLE for the oldest header
    std::size_t headerBlockSize = 0;  // header, masks and table
};

// Reads the header; empty when the bitmap has a form the player skips.
std::optional<DibLayout> readLayout(RecordView info, DibColours colours) {
    // The player reads the core header and the 40-byte one with its
    // extensions; a header cut short makes the metafile invalid.
    const std::uint32_t headerSize = info.u32(0);
    if (headerSize != kDibCoreHeaderSize && headerSize < kDibInfoHeaderSize) return std::nullopt;
    info.require(0, headerSize);
    const std::optional<DibHeader> header = readDibHeader(info.bytes(), 0);
    if (!header) failInvalid();  // cannot happen: the whole header is there

    DibLayout layout;
    layout.width = header->width;
    layout.topDown = header->height < 0;
    layout.height = header->height < 0 ? -header->height : header->height;
    layout.bitCount = static_cast<int>(header->bitCount);
    layout.compression = header->compression;
    if (headerSize == kDibCoreHeaderSize) layout.entrySize = 3;
    if (!fitsMetafileLimits(layout.width, layout.height)) failInvalid();
    if (layout.width == 0 || layout.height == 0) return std::nullopt;
    if (colours == DibColours::PaletteIndexes && layout.bitCount <= 8) return std::nullopt;

    switch (layout.bitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            if (layout.compression != kDibRgb) return std::nullopt;
            break;
        case 16:
        case 32:
            if (layout.compression != kDibRgb && layout.compression != kDibBitFields &&
                layout.compression != kDibAlphaBitFields) {
                return std::nullopt;
            }
            break;
        default:
            return std::nullopt;
    }

    std::size_t afterHeader = headerSize;
    if (layout.compression == kDibRgb) {
        layout.masks = layout.bitCount == 16
                           ? std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                           : std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
    } else {
        // Masks live in the larger headers, or right after the 40-byte one.
        const std::size_t masksAt = headerSize >= 52 ? 40 : headerSize;
        for (std::size_t i = 0; i < 3; ++i) layout.masks[i] = info.u32(masksAt + 4 * i);
        if (headerSize < 52) afterHeader += layout.compression == kDibAlphaBitFields ? 16 : 12;
    }

    std::uint64_t entries = headerSize == kDibCoreHeaderSize ? 0 : info.u32(32);
    if (layout.bitCount <= 8) {
        const std::uint64_t full = 1u << layout.bitCount;
        if (entries == 0 || entries > full) entries = full;
    }
    layout.tableOffset = afterHeader;
    info.requireArray(afterHeader, entries, layout.entrySize);
    layout.tableEntries = static_cast<std::size_t>(entries);
    layout.headerBlockSize = afterHeader + layout.tableEntries * layout.entrySize;
    return layout;
}

QImage readPixels(const DibLayout& layout, RecordView info, RecordView bits, DibAlpha alpha) {
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
    bits.requireArray(0, static_cast<std::uint64_t>(layout.height), stride);

    std::array<QRgb, 256> palette{};
    palette.fill(qRgb(0, 0, 0));
    if (layout.bitCount <= 8) {
        for (std::size_t i = 0; i < layout.tableEntries; ++i) {
            const std::size_t at = layout.tableOffset + i * layout.entrySize;
            palette[i] = qRgb(info.u8(at + 2), info.u8(at + 1), info.u8(at));
        }
    }
    const Channel red(layout.masks[0]);
    const Channel green(layout.masks[1]);
    const Channel blue(layout.masks[2]);

    const int width = static_cast<int>(layout.width);
    const int height = static_cast<int>(layout.height);
    const bool keepAlpha =
        alpha == DibAlpha::Keep && layout.bitCount == 32 && layout.compression == kDibRgb;
    QImage image(width, height,
                 keepAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) throw std::bad_alloc();

    const std::uint8_t* data = bits.bytes().data();
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = data + stride * static_cast<std::uint64_t>(row);
        auto* out =
            reinterpret_cast<QRgb*>(image.scanLine(layout.topDown ? row : height - 1 - row));
        switch (layout.bitCount) {
            case 1:
                for (int x = 0; x < width; ++x) out[x] = palette[(in[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                for (int x = 0; x < width; ++x) {
                    out[x] = palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
                }
                break;
            case 8:
                for (int x = 0; x < width; ++x) out[x] = palette[in[x]];
                break;
            case 24:
                for (int x = 0; x < width; ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
                break;
            case 16:
                for (int x = 0; x < width; ++x, in += 2) {
                    const std::uint32_t p = in[0] | (in[1] << 8);
                    out[x] = qRgb(red.value(p), green.value(p), blue.value(p));
                }
                break;
            default:  // 32
                if (keepAlpha) {
                    for (int x = 0; x < width; ++x, in += 4) {
                        const int a = in[3];
                        out[x] = qRgba(std::min<int>(in[2], a), std::min<int>(in[1], a),
                                       std::min<int>(in[0], a), a);
                    }
                    break;
                }
                for (int x = 0; x < width; ++x, in += 4) {
                    const std::uint32_t p = in[0] | (in[1] << 8) | (in[2] << 16) |
                                            (static_cast<std::uint32_t>(in[3]) << 24);
                    out[x] = qRgb(red.value(p), green.value(p), blue.value(p));
                }
                break;
        }
    }
    return image;
}

}  // namespace

Dib decodeDib(RecordView info, RecordView bits, DibColours colours, DibAlpha alpha) {
    const std::optional<DibLayout> layout = readLayout(info, colours);
    if (!layout) return {};
    return {readPixels(*layout, info, bits, alpha), !layout->topDown};
}

Dib decodePackedDib(RecordView dib, DibColours colours) {
    const std::optional<DibLayout> layout = readLayout(dib, colours);
    if (!layout) return {};
    return {readPixels(*layout, dib, dib.from(layout->headerBlockSize), DibAlpha::Ignore),
            !layout->topDown};
}

}  // namespace quillmere::metafile
