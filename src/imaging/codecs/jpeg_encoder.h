#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// The JPEG quality byte of a quality argument: its low 8 bits, limited to
// 1..100 (256 gives 1, 300 gives 44, -1 gives 100).
int jpegQualityFromArgument(int quality);

// Encodes a baseline JFIF file with libjpeg's defaults, the quality tables
// of `jpegQualityFromArgument(quality)` and the floating-point DCT. An
// empty bitmap gives no bytes.
std::vector<std::uint8_t> encodeJpeg(const Bitmap24& bitmap, int quality);

}  // namespace quillmere
