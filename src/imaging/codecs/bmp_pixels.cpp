#include "imaging/codecs/bmp_pixels.h"

#include <array>

#include "imaging/codecs/bmp_run_length.h"
#include "imaging/codecs/byte_stream.h"

namespace quillmere {

namespace {

using ColourTable = std::array<Rgb, 256>;

ColourTable colourTable(const BmpLayout& layout) {
    ColourTable table{};
    for (std::size_t i = 0; i < layout.palette.size(); ++i) table[i] = layout.palette[i];
    if (layout.bitCount == 1 && layout.palette.size() == 1) table[1] = {255, 255, 255};
    return table;
}

void putColour(std::uint8_t* out, Rgb colour) {
    out[0] = colour.r;
    out[1] = colour.g;
    out[2] = colour.b;
}

// The picture row that the file's `stored`-th row (from its start) is.
int pictureRow(const BmpLayout& layout, int stored) {
    return layout.topDown ? stored : layout.height - 1 - stored;
}

std::size_t strideOf(const BmpLayout& layout) {
    return (static_cast<std::size_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
}

void indexedRow(const std::uint8_t* in, std::uint8_t* out, int width, unsigned bits,
                const ColourTable& colours) {
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int x = 0; x < width; ++x, out += 3) {
        const unsigned shift = 8 - bits * (static_cast<unsigned>(x) % perByte + 1);
        putColour(out, colours[(in[static_cast<unsigned>(x) / perByte] >> shift) & mask]);
    }
}

std::optional<Bitmap24> plainIndexed(ByteStream& in, const BmpLayout& layout) {
    const ColourTable colours = colourTable(layout);
    const std::size_t stride = strideOf(layout);
    Bitmap24 picture = Bitmap24::uninitialised(layout.width, layout.height);
    for (int stored = 0; stored < layout.height; ++stored) {
        const std::span<const std::uint8_t> row = in.take(stride);
        if (row.size() < stride) return std::nullopt;
        indexedRow(row.data(), picture.row(pictureRow(layout, stored)), layout.width,
                   layout.bitCount, colours);
    }
    return picture;
}

std::optional<Bitmap24> runLength(ByteStream& in, const BmpLayout& layout) {
    const std::size_t stride = (static_cast<std::size_t>(layout.width) + 3) & ~std::size_t{3};
    const std::optional<std::vector<std::uint8_t>> indexes =
        expandRunLength(in, layout.width, layout.height, stride, layout.bitCount);
    if (!indexes) return std::nullopt;
    const ColourTable colours = colourTable(layout);
    Bitmap24 picture = Bitmap24::uninitialised(layout.width, layout.height);
    for (int y = 0; y < layout.height; ++y) {
        const int memoryRow = layout.topDown ? layout.height - 1 - y : y;
        const std::uint8_t* in8 = indexes->data() + stride * static_cast<std::size_t>(memoryRow);
        std::uint8_t* out = picture.row(y);
        for (int x = 0; x < layout.width; ++x) putColour(out + 3 * x, colours[in8[x]]);
    }
    return picture;
}

void bgrRow(const std::uint8_t* in, std::uint8_t* out, int width, unsigned step) {
    for (int x = 0; x < width; ++x, in += step, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void fieldRow(const std::uint8_t* in, std::uint8_t* out, int width, const BmpLayout& layout) {
    const unsigned bytes = layout.bitCount / 8;
    const auto& [red, green, blue] = layout.channels;
    for (int x = 0; x < width; ++x, in += bytes, out += 3) {
        std::uint32_t pixel = in[0] | (std::uint32_t{in[1]} << 8);
        if (bytes > 2) pixel |= std::uint32_t{in[2]} << 16;
        if (bytes > 3) pixel |= std::uint32_t{in[3]} << 24;
        out[0] = red.of(pixel);
        out[1] = green.of(pixel);
        out[2] = blue.of(pixel);
    }
}

std::optional<Bitmap24> direct(ByteStream& in, const BmpLayout& layout) {
    const std::size_t stride = strideOf(layout);
    // Plain 24- and 32-bit pixels are blue, green, red bytes.
    const bool plainBytes = layout.compression == kDibRgb && layout.bitCount != 16;
    Bitmap24 picture = Bitmap24::uninitialised(layout.width, layout.height);
    for (int stored = 0; stored < layout.height; ++stored) {
        const std::span<const std::uint8_t> row = in.take(stride);
        if (row.size() < stride) return std::nullopt;
        std::uint8_t* out = picture.row(pictureRow(layout, stored));
        if (plainBytes) {
            bgrRow(row.data(), out, layout.width, layout.bitCount / 8);
        } else {
            fieldRow(row.data(), out, layout.width, layout);
        }
    }
    return picture;
}

}  // namespace

std::optional<Bitmap24> decodeBmpPixels(std::span<const std::uint8_t> bytes,
                                        const BmpLayout& layout) {
    ByteStream in(bytes);
    in.seek(layout.pixelsAt);
    if (layout.compression == kDibRle4 || layout.compression == kDibRle8) {
        return runLength(in, layout);
    }
    return layout.bitCount <= 8 ? plainIndexed(in, layout) : direct(in, layout);
}

}  // namespace quillmere
