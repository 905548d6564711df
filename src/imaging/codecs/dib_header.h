#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quillmere {

// The sizes of the two headers every reader knows, and the compression
// codes of the header's compression field.
inline constexpr std::uint32_t kDibCoreHeaderSize = 12;
inline constexpr std::uint32_t kDibInfoHeaderSize = 40;
inline constexpr std::uint32_t kDibRgb = 0;
inline constexpr std::uint32_t kDibRle8 = 1;
inline constexpr std::uint32_t kDibRle4 = 2;
inline constexpr std::uint32_t kDibBitFields = 3;
inline constexpr std::uint32_t kDibAlphaBitFields = 6;

// A BMP file is a 14-byte file header, then the bitmap's header.
inline constexpr std::size_t kBmpFileHeaderSize = 14;

// What a device-independent bitmap's header declares, as stored: a
// negative height marks rows stored from the top.
struct DibHeader {
    std::uint32_t headerSize = 0;
    long long width = 0;
    long long height = 0;
    unsigned bitCount = 0;
    std::uint32_t compression = 0;  // 0 for headers without the field

    // Whether the pixels are stored row by row without compression, each
    // row padded to 4 bytes.
    bool storesPlainRows() const;
    // The bytes such pixels take.
    std::uint64_t plainPixelBytes() const;
};

// Reads the header at `offset`: the 12-byte core header's 16-bit fields or
// the larger headers' 32-bit ones. Empty when the header is cut short or
// smaller than any known one.
std::optional<DibHeader> readDibHeader(std::span<const std::uint8_t> bytes, std::size_t offset);

// Where a BMP file's pixels start at the earliest: as its file header
// says, unless that points into the headers or past the end, when they
// follow the headers (or there are none). `header` was read from `bytes`.
std::size_t earliestBmpPixels(std::span<const std::uint8_t> bytes, const DibHeader& header);

}  // namespace quillmere
