#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Decodes the first page of a TIFF file with libtiff; alpha is blended over
// white. Anything libtiff cannot decode gives the invalid-picture error
// "Invalid stream format".
Bitmap24 decodeTiff(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
