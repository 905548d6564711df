#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// A 24-bit uncompressed BMP: 54 header bytes, no colour table, rows
// bottom-up as blue, green, red, padded to 4 bytes. An empty bitmap gives
// no bytes at all.
std::vector<std::uint8_t> encodeBmp(const Bitmap24& bitmap);

}  // namespace quillmere
