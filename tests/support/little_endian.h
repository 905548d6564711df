#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Numbers written into the bytes of a file a test makes or damages.
namespace quillmere::test {

// Appends the low 16 or 32 bits of `value`, lowest byte first.
inline void appendLittle16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLittle32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    appendLittle16(out, value & 0xFFFF);
    appendLittle16(out, value >> 16);
}

// Overwrites the bytes at `at`; a place outside the file throws, so a
// fixture that misses its field fails loudly.
inline void setLittle16(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    file.at(at) = static_cast<std::uint8_t>(value);
    file.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

inline void setLittle32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    setLittle16(file, at, value & 0xFFFF);
    setLittle16(file, at + 2, value >> 16);
}

inline void setBig16(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    file.at(at) = static_cast<std::uint8_t>(value >> 8);
    file.at(at + 1) = static_cast<std::uint8_t>(value);
}

}  // namespace quillmere::test
