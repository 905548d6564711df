#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Decodes a BMP file: 1-, 4- and 8-bit colour tables, RLE4 and RLE8,
// 16-, 24- and 32-bit pixels with or without bit-field masks, rows stored
// from the bottom or the top (bmp_layout.h says which headers are read).
// A 32-bit pixel's fourth byte (alpha) is ignored. Errors (invalid-picture
// errors): "The picture is too large to load (...)" beyond the picture
// limits, and "Bitmap image is not valid" for anything else the reader
// refuses, including uncompressed rows the file cannot hold.
Bitmap24 decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
