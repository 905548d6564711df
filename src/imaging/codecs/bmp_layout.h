#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bitmap24.h"
#include "imaging/codecs/dib_header.h"

namespace quillmere {

// One colour channel of a 16-, 24- or 32-bit pixel: the bits under its
// mask, moved down to bit 0 and multiplied by 256 over the number of
// values they hold (so 5 bits become multiples of 8, and a channel of more
// than 8 bits keeps only the low byte of the product).
struct ChannelField {
    std::uint32_t mask = 0;
    unsigned shift = 0;
    std::uint32_t scale = 0;

    std::uint8_t of(std::uint32_t pixel) const {
        return static_cast<std::uint8_t>(((pixel & mask) >> shift) * scale);
    }
};

// How a BMP file's pixels are to be read, as its headers say.
struct BmpLayout {
    int width = 0;
    int height = 0;  // rows, whichever way they are stored
    bool topDown = false;
    unsigned bitCount = 0;
    std::uint32_t compression = 0;
    // The colours of a 1-, 4- or 8-bit bitmap, as many as the header
    // declares (1 to 256).
    std::vector<Rgb> palette;
    // Red, green and blue of 16-, 24- and 32-bit pixels.
    std::array<ChannelField, 3> channels{};
    // Where the pixels are read from.
    std::size_t pixelsAt = 0;
};

// Reads the file header, the information header (12-byte core; 40-byte
// info and the 64-byte OS/2 one read as it; 52- and 56-byte V2 and V3;
// 108- and 124-byte V4 and V5), the bit-field masks and the colour table.
// Other header sizes are read with the core header's 16-bit fields, which
// refuses nearly all of them. Empty for anything the reader refuses: a
// depth other than 1, 4, 8, 16, 24 or 32, a compression the depth does not
// take, one plane too many, a width below 1, no rows, more than 16384 x
// 16384 pixels, a colour table of more than 256 entries, a mask of all 32
// bits, or headers and colour table cut short. The pixels are taken from
// the file header's offset when that lies beyond the colour table and
// inside the file; otherwise they follow the colour table.
std::optional<BmpLayout> readBmpLayout(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
