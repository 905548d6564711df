#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// Encodes an uncompressed TIFF: one RGB image, 8 bits a sample, no alpha.
// An empty bitmap gives no bytes.
std::vector<std::uint8_t> encodeTiff(const Bitmap24& bitmap);

}  // namespace quillmere
