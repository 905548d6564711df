#include "imaging/codecs/bmp_run_length.h"

#include <algorithm>
#include <cstring>

namespace quillmere {

namespace {

class RunLengthRaster {
  public:
    RunLengthRaster(int width, int height, std::size_t stride)
        : width_(width),
          height_(height),
          stride_(stride),
          indexes_(stride * static_cast<std::size_t>(height), 0),
          end_(stride * static_cast<std::size_t>(height - 1) + static_cast<std::size_t>(width)),
          at_(rowStart(0)) {}

    bool done() const { return y_ >= height_; }
    void finish() { y_ = height_; }

    void nextLine() {
        x_ = 0;
        ++y_;
        if (!done()) at_ = rowStart(y_);
    }

    void jump(unsigned dx, unsigned dy) {
        x_ += static_cast<int>(dx);
        y_ += static_cast<int>(dy);
        if (static_cast<unsigned>(x_) >= static_cast<unsigned>(width_)) x_ = width_ - 1;
        if (static_cast<unsigned>(y_) >= static_cast<unsigned>(height_)) y_ = height_ - 1;
        at_ = rowStart(y_) + static_cast<std::size_t>(x_);
    }

    // A run's count, cut where the raster ends.
    unsigned fitted(unsigned count) const {
        return static_cast<unsigned>(std::min<std::size_t>(count, end_ - at_));
    }

    std::uint8_t* cursor() { return indexes_.data() + at_; }
    void put(std::uint8_t index) { indexes_[at_++] = index; }
    void advance(unsigned count) {
        at_ += count;
        x_ += static_cast<int>(count);
    }
    // Columns painted one by one move the cursor already.
    void countColumns(unsigned count) { x_ += static_cast<int>(count); }

    std::vector<std::uint8_t> take() { return std::move(indexes_); }

  private:
    std::size_t rowStart(int y) const {
        return stride_ * static_cast<std::size_t>(height_ - y - 1);
    }

    int width_;
    int height_;
    std::size_t stride_;
    std::vector<std::uint8_t> indexes_;
    std::size_t end_;
    std::size_t at_;
    int x_ = 0;
    int y_ = 0;
};

// Escape codes after a 0 byte; the others start absolute runs.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kJump = 2;

bool readJump(ByteStream& in, RunLengthRaster& raster) {
    std::uint8_t dx = 0;
    std::uint8_t dy = 0;
    if (!in.getByte(dx) || !in.getByte(dy)) return false;
    raster.jump(dx, dy);
    return true;
}

// Returns false when the bitmap is refused.
bool absolute8(ByteStream& in, RunLengthRaster& raster, unsigned count) {
    const unsigned n = raster.fitted(count);
    if (!in.read(raster.cursor(), n)) return false;
    if (n & 1) in.skipByte();  // runs end on a 16-bit boundary
    raster.advance(n);
    return true;
}

void encoded8(ByteStream& in, RunLengthRaster& raster, unsigned count) {
    const unsigned n = raster.fitted(count);
    std::uint8_t index = 0;  // a pixel byte missing at the end reads as 0
    in.getByte(index);
    std::memset(raster.cursor(), index, n);
    raster.advance(n);
}

void absolute4(ByteStream& in, RunLengthRaster& raster, unsigned count) {
    const unsigned n = raster.fitted(count);
    // A missing byte repeats the last one (at first, the count).
    auto last = static_cast<std::uint8_t>(n);
    for (unsigned i = 0; i < n / 2; ++i) {
        in.getByte(last);
        raster.put(last >> 4);
        raster.put(last & 0x0F);
    }
    if (n & 1) {
        std::uint8_t odd = 0;  // missing at the end, it reads as 0
        in.getByte(odd);
        raster.put(odd >> 4);
    }
    if (((n & 3) + 1) & 2) in.skipByte();  // runs end on a 16-bit boundary
    raster.countColumns(n);
}

void encoded4(ByteStream& in, RunLengthRaster& raster, unsigned count) {
    const unsigned n = raster.fitted(count);
    // Without its pixel byte the run repeats its own count.
    auto pair = static_cast<std::uint8_t>(n);
    in.getByte(pair);
    for (unsigned i = 0; i < n / 2; ++i) {
        raster.put(pair >> 4);
        raster.put(pair & 0x0F);
    }
    if (n & 1) raster.put(pair >> 4);
    raster.countColumns(n);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> expandRunLength(ByteStream& in, int width, int height,
                                                         std::size_t stride, unsigned bitCount) {
    RunLengthRaster raster(width, height, stride);
    const bool fourBits = bitCount == 4;
    while (!raster.done()) {
        std::uint8_t code = 0;
        if (!in.getByte(code)) break;
        if (code != 0) {
            fourBits ? encoded4(in, raster, code) : encoded8(in, raster, code);
            continue;
        }
        if (!in.getByte(code) || code == kEndOfBitmap) break;
        switch (code) {
            case kEndOfLine:
                raster.nextLine();
                break;
            case kJump:
                if (!readJump(in, raster)) raster.finish();
                break;
            default:
                if (fourBits) {
                    absolute4(in, raster, code);
                } else if (!absolute8(in, raster, code)) {
                    return std::nullopt;
                }
        }
    }
    return raster.take();
}

}  // namespace quillmere
