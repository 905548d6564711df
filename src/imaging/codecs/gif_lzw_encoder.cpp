#include "imaging/codecs/gif_lzw_encoder.h"

#include <array>
#include <memory>

namespace quillmere {

namespace {

constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kFirstFreeCode = 258;
constexpr int kCodeLimit = 4095;
constexpr int kStartWidth = 9;
constexpr int kMaxWidth = 12;

class CodeWriter {
  public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void write(int code, int width) {
        bits_ |= static_cast<std::uint32_t>(code) << bitCount_;
        bitCount_ += width;
        while (bitCount_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
    }

    void flush() {
        if (bitCount_ > 0) out_.push_back(static_cast<std::uint8_t>(bits_));
        bits_ = 0;
        bitCount_ = 0;
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

// The string table: (prefix code, pixel) to code, open addressing. Entries
// of an emptied table are told apart by a generation number, so emptying
// it costs nothing.
class StringTable {
  public:
    int find(int prefix, int pixel) const {
        const std::uint32_t key = keyOf(prefix, pixel);
        for (std::uint32_t slot = hash(key);; slot = (slot + 1) & kMask) {
            const Entry& e = entries_[slot];
            if (e.generation != generation_) return -1;
            if (e.key == key) return e.code;
        }
    }

    void add(int prefix, int pixel, int code) {
        const std::uint32_t key = keyOf(prefix, pixel);
        std::uint32_t slot = hash(key);
        while (entries_[slot].generation == generation_) slot = (slot + 1) & kMask;
        entries_[slot] = {key, static_cast<std::uint16_t>(code), generation_};
    }

    void clear() { ++generation_; }

  private:
    static constexpr std::uint32_t kSize = 1 << 13;  // twice the codes a table holds
    static constexpr std::uint32_t kMask = kSize - 1;

    struct Entry {
        std::uint32_t key = 0;
        std::uint16_t code = 0;
        std::uint32_t generation = 0;
    };

    static std::uint32_t keyOf(int prefix, int pixel) {
        return static_cast<std::uint32_t>(prefix) << 8 | static_cast<std::uint32_t>(pixel);
    }
    static std::uint32_t hash(std::uint32_t key) { return (key * 2654435761u) >> (32 - 13); }

    std::unique_ptr<std::array<Entry, kSize>> table_ = std::make_unique<std::array<Entry, kSize>>();
    std::array<Entry, kSize>& entries_ = *table_;
    std::uint32_t generation_ = 1;
};

}  // namespace

std::vector<std::uint8_t> encodeGifLzw(std::span<const std::uint8_t> indices) {
    std::vector<std::uint8_t> out;
    if (indices.empty()) return out;
    out.reserve(indices.size() / 2 + 16);

    CodeWriter writer(out);
    StringTable table;
    int width = kStartWidth;
    int nextCode = kFirstFreeCode;

    const auto writeCode = [&](int code) {
        writer.write(code, width);
        if (code == kClearCode) {
            width = kStartWidth;
        } else if (nextCode > (1 << width) - 1 && width < kMaxWidth) {
            ++width;
        }
    };

    writeCode(kClearCode);
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int pixel = indices[i];
        if (const int code = table.find(prefix, pixel); code >= 0) {
            prefix = code;
            continue;
        }
        writeCode(prefix);
        if (nextCode >= kCodeLimit) {
            writeCode(kClearCode);
            table.clear();
            nextCode = kFirstFreeCode;
        } else {
            table.add(prefix, pixel, nextCode++);
        }
        prefix = pixel;
    }
    writeCode(prefix);
    writeCode(kEndCode);
    writer.flush();
    return out;
}

}  // namespace quillmere
