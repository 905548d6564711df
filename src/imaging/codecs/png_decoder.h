#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Decodes a PNG file with libpng: every colour type and bit depth, palettes
// with tRNS, interlaced files. Transparency is blended over white:
// (colour x alpha + 255 x (255 - alpha) + 127) / 255. Its errors are plain
// errors, not invalid-picture errors.
Bitmap24 decodePng(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
