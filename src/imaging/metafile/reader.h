#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/codecs/picture_limits.h"

namespace quillmere::metafile {

using quillmere::fitsMetafileLimits;

// Raises the invalid-picture error "Metafile is not valid".
[[noreturn]] void failInvalid();

// A bounds-checked window on little-endian bytes: a whole file or one
// record. Every read that would leave the window fails as an invalid
// metafile, so callers never touch memory outside the file.
class RecordView {
  public:
    RecordView() = default;
    explicit RecordView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // Whether `count` bytes from `offset` lie inside the window.
    bool holds(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    // Whether `count` elements of `elementSize` bytes from `offset` lie
    // inside the window (with no overflow however large the count).
    bool holdsArray(std::size_t offset, std::uint64_t count, std::size_t elementSize) const;

    // Fails unless holds(offset, count) / holdsArray(...).
    void require(std::size_t offset, std::size_t count) const;
    void requireArray(std::size_t offset, std::uint64_t count, std::size_t elementSize) const;

    std::uint8_t u8(std::size_t offset) const;
    std::uint16_t u16(std::size_t offset) const;
    std::int16_t i16(std::size_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::uint32_t u32(std::size_t offset) const;
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    float f32(std::size_t offset) const;

    // The sub-window of `count` bytes from `offset`; fails when it does not fit.
    RecordView sub(std::size_t offset, std::size_t count) const;
    // Everything from `offset` on; fails when offset is past the end.
    RecordView from(std::size_t offset) const;

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace quillmere::metafile
