#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quillmere {

// The dimensions a device-independent bitmap's header declares, as stored:
// a negative height marks rows stored from the top.
struct DibSize {
    long long width = 0;
    long long height = 0;
};

// Reads the size from the header at `offset`: the 12-byte core header's
// 16-bit fields or the larger headers' 32-bit ones. Empty when the header
// is cut short or of no known size.
std::optional<DibSize> readDibSize(std::span<const std::uint8_t> bytes, std::size_t offset);

}  // namespace quillmere
