#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Plays a WMF (placeable or not) or an EMF file, told apart by its content,
// into a white bitmap the size of its recorded frame at 96 dots per inch.
// EMF+ comments are skipped in favour of the plain EMF records every such
// file carries. Errors: "Metafile is not valid" (an invalid-picture error)
// for a wrong signature, a header or record that runs past the end, an
// object index beyond the file's table, or a frame of more than 32768
// pixels a side or 100 megapixels.
Bitmap24 decodeMetafile(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
