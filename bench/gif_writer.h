#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere::bench {

// A GIF of the bitmap through giflib, each pixel reduced to the top 3 bits
// of red and green and the top 2 of blue (a fixed 256-colour palette).
// Good enough as decoder input; no dithering. Throws std::runtime_error
// when giflib fails.
std::vector<std::uint8_t> encodeGif332(const Bitmap24& bitmap);

}  // namespace quillmere::bench
