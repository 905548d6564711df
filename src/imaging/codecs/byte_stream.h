#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace quillmere {

// Reads a buffer front to back as a file is read: a read at the end gives
// what is left, and a seek past the end fails and leaves the position.
class ByteStream {
  public:
    explicit ByteStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t position() const { return position_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - position_; }
    bool atEnd() const { return position_ == bytes_.size(); }

    bool seek(std::uint64_t position) {
        if (position > bytes_.size()) return false;
        position_ = static_cast<std::size_t>(position);
        return true;
    }

    // Consumes up to `count` bytes and returns those it could.
    std::span<const std::uint8_t> take(std::size_t count) {
        const std::size_t n = std::min(count, remaining());
        const std::span<const std::uint8_t> taken = bytes_.subspan(position_, n);
        position_ += n;
        return taken;
    }

    // Whether all `count` bytes were there; copies what was.
    bool read(std::uint8_t* out, std::size_t count) {
        const std::span<const std::uint8_t> taken = take(count);
        if (!taken.empty()) std::memcpy(out, taken.data(), taken.size());
        return taken.size() == count;
    }

    // The next byte; `out` keeps its value at the end.
    bool getByte(std::uint8_t& out) {
        if (atEnd()) return false;
        out = bytes_[position_++];
        return true;
    }

    bool skipByte() {
        std::uint8_t ignored = 0;
        return getByte(ignored);
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace quillmere
