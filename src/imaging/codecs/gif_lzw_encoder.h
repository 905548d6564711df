#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quillmere {

// GIF's LZW coding of 8-bit indices: codes start 9 bits wide, clear code
// 256, end code 257, first free code 258; a clear code first; when the
// next free code reaches 4095 a clear code is written instead of a new
// entry; the width grows while the next free code exceeds what it holds,
// up to 12 bits. Codes are packed from the least significant bit upward.
// Returns the packed code stream, without the sub-block framing.
std::vector<std::uint8_t> encodeGifLzw(std::span<const std::uint8_t> indices);

}  // namespace quillmere
