#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "imaging/codecs/premultiplied_image.h"

namespace quillmere {

// Decodes the PNG image an icon file holds, as the icon reader has always
// taken it: 1-bit grey and 1-bit palette images through a two-colour
// table (black and white where the palette leaves it), other grey images
// below 8 bits and grey images with a tRNS chunk through a table of evenly
// spaced greys, palette indexes beyond the palette as index 0, 16-bit
// channels rounded to 8 bits, tRNS colours and alpha premultiplied. Gamma
// and colour-space chunks change no pixel. The data must hold every chunk
// up to IEND, whose CRC alone may be missing. Empty for anything libpng
// refuses, and for 16-bit colour with a tRNS chunk, which the reader never
// read whole.
std::optional<PremultipliedImage> decodeIconPng(std::span<const std::uint8_t> data);

}  // namespace quillmere
