#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Decodes a BMP file with Qt's reader; a 32-bit bitmap's alpha channel is
// ignored. Errors: "Bitmap image is not valid" (an invalid-picture error).
Bitmap24 decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
