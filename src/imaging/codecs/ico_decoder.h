#pragma once

#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

constexpr int kStandardIconSize = 32;

// The icon image an icon file shows at the standard size: of its images
// the one nearest 32 x 32, the one with the most colours among those,
// the first among equals; its index in the file, or -1 when the file's
// directory is not valid.
int chooseStandardIconImage(std::span<const std::uint8_t> bytes);

// Refuses the image at `index` when its own header (a PNG's IHDR or a
// bitmap's header, which counts the mask's rows in its height) declares
// more than an icon may hold, before anything is allocated for it:
// "The picture is too large to load (...)" (an invalid-picture error).
void checkIconImageSize(std::span<const std::uint8_t> bytes, int index);

// Decodes that image (icon_entry_image.h), makes the pixels under the AND
// mask of a 16- or 24-bit image transparent, scales it to 32 x 32 when it
// has another size (icon_scaling.h) and lays it over white. Errors: "Icon image is not valid"
// (an invalid-picture error).
Bitmap24 decodeIcon(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
