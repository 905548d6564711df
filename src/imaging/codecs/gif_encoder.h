#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// The palette and index raster a GIF is written from.
struct ReducedPicture {
    std::array<Rgb, 256> palette{};
    int realColours = 0;  // entries from the quantiser; the rest repeat the last
    std::vector<std::uint8_t> indices;
};

// Reduces a picture to 256 colours: an octree palette, entries beyond its
// leaves filled with copies of the last one, and Floyd-Steinberg dithering.
ReducedPicture reduceColours(const Bitmap24& bitmap);

// A GIF87a file: no global colour table, one image with a 256-entry local
// table, LZW data in 255-byte sub-blocks. An empty picture gives the
// 14-byte file of header, an empty screen and the trailer. Pictures over
// 65535 pixels a side cannot be written.
std::vector<std::uint8_t> encodeGif(const Bitmap24& bitmap);

}  // namespace quillmere
