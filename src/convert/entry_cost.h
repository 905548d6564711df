#pragma once

#include <cstdint>
#include <optional>

#include "imaging/graphic.h"
#include "imaging/picture_encoding.h"
#include "imaging/picture_size_peek.h"

namespace quillmere {

// The most bytes one list entry holds at once while it is prepared and
// committed, for the batch's memory budget: the larger of its two phases.
// Decoding holds the file's bytes (read whole), the decoder's own buffers
// and the 24-bit raster; encoding holds the raster, the encoder's buffers
// and the target's contents as they grow. The figures follow the codecs in
// imaging/codecs and bound what they allocate rather than guess a typical
// case, so that a budget is not overrun; fixed costs below a megabyte
// (library state, tables, a few rows) are covered by one allowance per
// phase.
//
// A picture whose size is unknown (`size` empty: the header could not be
// read) is refused by its decoder before it allocates for pixels, so it
// costs its file and the allowance.
std::uint64_t entryCostBytes(GraphicKind kind, std::optional<PictureSize> size,
                             std::uint64_t fileSize, EncoderKind encoder);

// The two phases on their own: decoding a file of that kind and size, and
// encoding a raster of width x height (nothing for an empty one).
std::uint64_t decodingPeakBytes(GraphicKind kind, std::optional<PictureSize> size,
                                std::uint64_t fileSize);
std::uint64_t encodingPeakBytes(EncoderKind encoder, int width, int height);

// The fixed allowance of each phase.
inline constexpr std::uint64_t kCodecAllowanceBytes = std::uint64_t{1} << 20;

}  // namespace quillmere
