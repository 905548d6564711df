#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quillmere {

inline void putLittle16(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void putLittle32(std::uint8_t* out, std::uint32_t value) {
    putLittle16(out, value);
    putLittle16(out + 2, value >> 16);
}

inline void putBig32(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

// Readers of numbers stored in either byte order; the caller has checked
// that the bytes are there.
inline std::uint32_t little16(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8);
}
inline std::uint32_t little32(std::span<const std::uint8_t> b, std::size_t at) {
    return little16(b, at) | (little16(b, at + 2) << 16);
}
inline std::uint64_t little64(std::span<const std::uint8_t> b, std::size_t at) {
    return little32(b, at) | (std::uint64_t{little32(b, at + 4)} << 32);
}
inline std::uint32_t big16(std::span<const std::uint8_t> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 8) | b[at + 1];
}
inline std::uint32_t big32(std::span<const std::uint8_t> b, std::size_t at) {
    return (big16(b, at) << 16) | big16(b, at + 2);
}
inline std::uint64_t big64(std::span<const std::uint8_t> b, std::size_t at) {
    return (std::uint64_t{big32(b, at)} << 32) | big32(b, at + 4);
}

}  // namespace quillmere
