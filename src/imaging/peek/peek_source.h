#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "imaging/codecs/byte_order.h"
#include "imaging/picture_size_peek.h"

namespace quillmere::peek {

// A file seen through bounds-checked reads: every read names its offset
// and length and fails unless all of it lies inside the file.
class PeekSource {
  public:
    PeekSource(const ReadAt& read, std::uint64_t size) : read_(read), size_(size) {}

    std::uint64_t size() const { return size_; }

    // Whether `count` bytes from `offset` lie inside the file.
    bool holds(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }

    // Fills `into` from `offset`; false when the file does not hold it all
    // or the read comes back short.
    bool read(std::uint64_t offset, std::span<std::uint8_t> into) const;

    // A small fixed-size read.
    template <std::size_t N>
    std::optional<std::array<std::uint8_t, N>> bytes(std::uint64_t offset) const {
        std::array<std::uint8_t, N> out{};
        if (!read(offset, out)) return std::nullopt;
        return out;
    }

  private:
    const ReadAt& read_;
    std::uint64_t size_;
};

// One reader per format, each mirroring what its decoder accepts.
std::optional<PictureSize> peekBmp(const PeekSource& file);
std::optional<PictureSize> peekPng(const PeekSource& file);
std::optional<PictureSize> peekGif(const PeekSource& file);
std::optional<PictureSize> peekJpeg(const PeekSource& file);
std::optional<PictureSize> peekIcon(const PeekSource& file);
std::optional<PictureSize> peekTiff(const PeekSource& file);
std::optional<PictureSize> peekMetafile(const PeekSource& file);

}  // namespace quillmere::peek
