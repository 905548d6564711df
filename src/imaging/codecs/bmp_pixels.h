#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "imaging/bitmap24.h"
#include "imaging/codecs/bmp_layout.h"

namespace quillmere {

// Reads the pixels the layout describes into a bitmap, rows top-down.
// Indexes beyond the colour table show black, except that a 1-bit bitmap
// with one colour shows its pixels of value 1 white. A 32-bit pixel's
// fourth byte is not looked at. Pixels that no run of run-length data
// paints show colour 0. Empty when the file ends before the last
// uncompressed row (rather than showing made-up rows) or inside an
// absolute RLE8 run.
std::optional<Bitmap24> decodeBmpPixels(std::span<const std::uint8_t> bytes,
                                        const BmpLayout& layout);

}  // namespace quillmere
