#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/codecs/byte_stream.h"

namespace quillmere {

// The colour indexes that 4- or 8-bit run-length data (RLE4, RLE8) paints
// into a raster of `height` rows of `stride` bytes, the first row stored
// first in memory being the bottom one. Pixels that no run paints keep
// index 0.
//
// The reader's own rules, which decide where damaged data lands:
// - runs are cut only at the end of the whole raster, so a run longer
//   than its row carries on into the next row in memory (the one below),
//   and an absolute run cut there also takes fewer bytes from the stream;
// - a jump beyond the right or top edge stops at the last column or row;
// - the data ending before its end-of-bitmap code ends the painting
//   there; an absolute RLE8 run cut short by the end refuses the bitmap
//   (empty result); the pixel pairs of a 4-bit run whose bytes are missing
//   repeat the last byte read (the run's count for an encoded run); any
//   other pixel byte missing at the end reads as 0.
std::optional<std::vector<std::uint8_t>> expandRunLength(ByteStream& in, int width, int height,
                                                         std::size_t stride, unsigned bitCount);

}  // namespace quillmere
