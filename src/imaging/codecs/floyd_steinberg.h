#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// The error limit applied to a whole-unit error before it is added to a
// pixel: below 16 it stays, from 16 to 47 it becomes 16 + (|e| - 16) / 2,
// from 48 on it is 32; the sign is kept.
int limitDitherError(int error);

// Maps every pixel to a palette index with serpentine Floyd-Steinberg error
// diffusion (the first row left to right, the next right to left, and so
// on). Errors are kept in sixteenths as integers; shares that would fall
// outside the picture are dropped. Returns one index a pixel, rows
// top-down.
std::vector<std::uint8_t> ditherToPalette(const Bitmap24& bitmap,
                                          const std::array<Rgb, 256>& palette);

}  // namespace quillmere
