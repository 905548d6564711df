#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Decodes a JPEG file with libjpeg: full size, floating-point inverse DCT,
// fancy upsampling and block smoothing. Errors: "JPEG error #n" with
// libjpeg's message number (invalid-picture errors).
Bitmap24 decodeJpeg(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
