// A JPEG's size: the markers are walked from the start of image to the
// first scan, as libjpeg reads them before it decodes anything.

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "imaging/codecs/picture_limits.h"
#include "imaging/peek/peek_source.h"

namespace quillmere::peek {

namespace {

constexpr int kMaxSegments = 512;
// libjpeg skips stray bytes before a marker; a file with more than this
// between two segments is taken as damaged.
constexpr std::uint64_t kMaxStrayBytes = 4096;

constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;

// The frame kinds libjpeg-turbo decodes: baseline, extended and
// progressive, with Huffman or arithmetic coding.
bool isDecodableFrame(std::uint8_t marker) {
    return marker == 0xC0 || marker == 0xC1 || marker == 0xC2 || marker == 0xC9 || marker == 0xCA;
}

bool isOtherFrame(std::uint8_t marker) {
    return marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC &&
           !isDecodableFrame(marker);
}

bool isStandalone(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

struct Component {
    unsigned horizontal = 1;
    unsigned vertical = 1;
};

struct Frame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool progressive = false;
    std::vector<Component> components;
};

// Serves the small reads of the walk from one window of the file, read
// again only when a read falls outside it: the segments before the first
// scan usually lie within the first few kilobytes.
class Window {
  public:
    explicit Window(const PeekSource& file) : file_(file) {}

    // The `count` bytes from `offset`; empty when the file does not hold them.
    std::optional<std::span<const std::uint8_t>> at(std::uint64_t offset, std::size_t count) {
        if (count > kSize || !file_.holds(offset, count)) return std::nullopt;
        if (offset < start_ || offset + count > start_ + length_) {
            length_ =
                static_cast<std::size_t>(std::min<std::uint64_t>(kSize, file_.size() - offset));
            start_ = offset;
            if (!file_.read(offset, std::span(bytes_).first(length_))) {
                length_ = 0;
                return std::nullopt;
            }
        }
        return std::span<const std::uint8_t>(bytes_).subspan(
            static_cast<std::size_t>(offset - start_), count);
    }

  private:
    static constexpr std::size_t kSize = 4096;
    const PeekSource& file_;
    std::array<std::uint8_t, kSize> bytes_{};
    std::uint64_t start_ = 0;
    std::size_t length_ = 0;
};

// The marker at or after `offset` (stray bytes and fill bytes skipped):
// its code and the offset just past it.
std::optional<std::pair<std::uint8_t, std::uint64_t>> nextMarker(Window& window,
                                                                 std::uint64_t offset) {
    bool sawFf = false;
    for (std::uint64_t scanned = 0; scanned < kMaxStrayBytes; ++scanned, ++offset) {
        const auto byte = window.at(offset, 1);
        if (!byte) return std::nullopt;
        const std::uint8_t value = (*byte)[0];
        if (sawFf && value != 0xFF && value != 0x00) return std::pair(value, offset + 1);
        sawFf = value == 0xFF;
    }
    return std::nullopt;
}

std::optional<Frame> readFrame(Window& window, std::uint64_t at, std::uint32_t length,
                               std::uint8_t marker) {
    if (length < 8) return std::nullopt;
    const auto head = window.at(at, 6);
    if (!head) return std::nullopt;
    Frame frame;
    frame.progressive = marker == 0xC2 || marker == 0xCA;
    frame.height = big16(*head, 1);
    frame.width = big16(*head, 3);
    const unsigned count = (*head)[5];
    // Only 8-bit samples go through the decoder's 8-bit scanlines.
    if ((*head)[0] != 8 || count == 0 || length != 8 + 3 * count) return std::nullopt;
    const auto table = window.at(at + 6, 3 * count);
    if (!table) return std::nullopt;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned sampling = (*table)[3 * i + 1];
        const Component c{sampling >> 4, sampling & 0x0Fu};
        if (c.horizontal < 1 || c.horizontal > 4 || c.vertical < 1 || c.vertical > 4) {
            return std::nullopt;
        }
        frame.components.push_back(c);
    }
    return frame;
}

std::uint64_t roundUp(std::uint64_t value, std::uint64_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

// What libjpeg keeps when the picture comes in several scans: every
// component's 8 x 8 blocks of 16-bit coefficients, the block counts
// rounded up to whole sampling units.
std::uint64_t coefficientBytes(const Frame& frame) {
    unsigned maxH = 1;
    unsigned maxV = 1;
    for (const Component& c : frame.components) {
        maxH = std::max(maxH, c.horizontal);
        maxV = std::max(maxV, c.vertical);
    }
    std::uint64_t total = 0;
    for (const Component& c : frame.components) {
        const std::uint64_t columns =
            (std::uint64_t{frame.width} * c.horizontal + 8 * maxH - 1) / (8 * maxH);
        const std::uint64_t rows =
            (std::uint64_t{frame.height} * c.vertical + 8 * maxV - 1) / (8 * maxV);
        total += roundUp(columns, c.horizontal) * roundUp(rows, c.vertical) * 64 * 2;
    }
    return total;
}

}  // namespace

std::optional<PictureSize> peekJpeg(const PeekSource& file) {
    Window window(file);
    const auto start = window.at(0, 2);
    if (!start || (*start)[0] != 0xFF || (*start)[1] != kSoi) return std::nullopt;

    std::optional<Frame> frame;
    std::uint64_t offset = 2;
    for (int segment = 0; segment < kMaxSegments; ++segment) {
        const auto marker = nextMarker(window, offset);
        if (!marker) return std::nullopt;
        const auto [code, after] = *marker;
        offset = after;
        if (isStandalone(code)) continue;
        if (code == kSoi || code == kEoi || isOtherFrame(code)) return std::nullopt;
        const auto lengthBytes = window.at(offset, 2);
        if (!lengthBytes) return std::nullopt;
        const std::uint32_t length = big16(*lengthBytes, 0);
        if (length < 2 || !file.holds(offset, length)) return std::nullopt;

        if (isDecodableFrame(code)) {
            if (frame) return std::nullopt;  // a second frame
            frame = readFrame(window, offset + 2, length, code);
            if (!frame) return std::nullopt;
        } else if (code == kSos) {
            const auto scanHead = window.at(offset + 2, 1);
            if (!frame || !scanHead) return std::nullopt;
            if (frame->width == 0 || frame->height == 0 ||
                !fitsPictureLimits(frame->width, frame->height)) {
                return std::nullopt;
            }
            PictureSize size{static_cast<int>(frame->width), static_cast<int>(frame->height)};
            // Progressive scans, or a first scan without every component,
            // make libjpeg buffer the whole picture's coefficients.
            if (frame->progressive || (*scanHead)[0] < frame->components.size()) {
                size.codecBytes = coefficientBytes(*frame);
            }
            return size;
        }
        offset += length;
    }
    return std::nullopt;
}

}  // namespace quillmere::peek
