#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// The largest data a PNG IDAT chunk of this encoder carries.
constexpr std::size_t kPngIdatChunkSize = 65535;

// An 8-bit RGB PNG: IHDR, the image data with the Sub filter on every row,
// deflated at level 7 and cut into IDAT chunks of 65535 bytes (the last
// carrying the rest), IEND. No other chunk. An empty bitmap gives no bytes.
std::vector<std::uint8_t> encodePng(const Bitmap24& bitmap);

// The Sub filter of one row of RGB bytes, the filter-type byte first.
void filterRowSub(const std::uint8_t* row, std::size_t rowBytes, std::uint8_t* out);

}  // namespace quillmere
