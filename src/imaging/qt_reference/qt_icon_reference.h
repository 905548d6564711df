#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"
#include "imaging/qt_reference/qt_reading.h"

namespace quillmere {

// The engine's icon decoding as it was done with Qt's reader (QImageReader)
// and the steps around it (the choice of image, the mask of 16- and 24-bit
// images, the scaling to 32 x 32 and the white ground), kept to hold the
// engine's own reader to the same pixels and refusals. The same errors as
// decodeIcon.
Bitmap24 decodeIconWithQt(std::span<const std::uint8_t> bytes, QtReadLog* log = nullptr);

}  // namespace quillmere
