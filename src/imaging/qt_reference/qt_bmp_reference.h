#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"
#include "imaging/qt_reference/qt_reading.h"

namespace quillmere {

// The engine's BMP decoding as it was done with Qt's reader (QImageReader)
// and the checks around it, kept to hold the engine's own reader to the
// same pixels and refusals. The same errors as decodeBmp. Where the file
// runs out before Qt's reader has what it asks for, the log says so.
Bitmap24 decodeBmpWithQt(std::span<const std::uint8_t> bytes, QtReadLog* log = nullptr);

}  // namespace quillmere
