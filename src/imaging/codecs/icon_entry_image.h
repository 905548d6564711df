#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "imaging/codecs/premultiplied_image.h"

namespace quillmere {

// The image of the icon file's directory entry `index` (which must be in
// the file), at its own size, as the icon reader has always taken it.
// The entry's offset and byte count must lie within the file. Data
// starting with the PNG signature is a PNG image of the entry's byte count
// (icon_png_image.h). Anything else is a bitmap: the 40 bytes of an
// information header at the entry's offset, whose own size is not looked
// at; the entry's width and height unless they are 0 (the header's width
// and half its height then), at most 256 each; its bit count, or the
// entry's when it has none: 1, 4, 8, 24 or 32; then the colour table, the
// pixels and, below 24 bits, the 1-bit AND mask, each right after the one
// before. Masked pixels are transparent; 24- and 32-bit images keep every
// pixel (the alpha of 32-bit ones), their mask unread. Indexes beyond the
// colour table are transparent. A colour count of 2^31 or more leaves no
// table: 1- and 8-bit pixels are then read as 32-bit ones, and 4-bit
// images, which would be left partly unread, are refused. Empty for
// anything else, including 16-bit images and data cut short.
std::optional<PremultipliedImage> readIconEntryImage(std::span<const std::uint8_t> bytes,
                                                     int index);

}  // namespace quillmere
