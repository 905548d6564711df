#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Decodes the first frame of a GIF file with giflib onto its logical
// screen, drawn opaque: transparent pixels show the palette colour at the
// transparent index. When that frame has a transparent index the screen is
// first filled with the background colour (white without a global colour
// table); otherwise what the frame leaves uncovered stays white. The
// signature "GIF" is accepted in any case, at the start or after a
// four-byte prefix. Errors are invalid-picture errors.
Bitmap24 decodeGif(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
