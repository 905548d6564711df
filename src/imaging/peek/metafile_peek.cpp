// A metafile's size: the frame the player paints, from an EMF's header, a
// placeable WMF's bounding box or a plain WMF's first window extent.

#include <cstdlib>

#include "imaging/codecs/picture_limits.h"
#include "imaging/peek/peek_source.h"

namespace quillmere::peek {

namespace {

constexpr std::uint32_t kEmfHeaderRecord = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEmfHeaderSize = 88;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;
constexpr std::size_t kRecordHead = 6;  // size in 16-bit words, then the function
constexpr std::uint32_t kEof = 0x0000;
constexpr std::uint32_t kSetWindowExt = 0x020C;
// Plain files set their extent among the first few records; one that
// sets none in this many is not read further.
constexpr int kMaxRecords = 1024;

std::int64_t signed16(std::uint32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

std::int64_t signed32(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}

std::optional<PictureSize> frameSize(std::int64_t width, std::int64_t height) {
    if (!fitsMetafileLimits(width, height)) return std::nullopt;
    // A frame with a zero side paints nothing: the empty picture.
    if (width == 0 || height == 0) return PictureSize{};
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PictureSize> peekEmf(const PeekSource& file) {
    const auto header = file.bytes<kEmfHeaderSize>(0);
    if (!header) return std::nullopt;
    const std::uint64_t headerSize = little32(*header, 4);
    const std::uint64_t length = little32(*header, 48);
    if (headerSize < kEmfHeaderSize || headerSize > file.size()) return std::nullopt;
    if (length < headerSize || length > file.size()) return std::nullopt;
    // The frame is in hundredths of a millimetre, 2540 to the inch, painted
    // at 96 dots per inch.
    const auto pixels = [](std::int64_t extent) { return (std::llabs(extent) * 96 + 1270) / 2540; };
    const std::int64_t left = signed32(little32(*header, 24));
    const std::int64_t top = signed32(little32(*header, 28));
    const std::int64_t right = signed32(little32(*header, 32));
    const std::int64_t bottom = signed32(little32(*header, 36));
    return frameSize(pixels(right - left), pixels(bottom - top));
}

bool isWmfHeader(std::span<const std::uint8_t> header) {
    const std::uint32_t type = little16(header, 0);
    const std::uint32_t words = little16(header, 2);
    const std::uint32_t version = little16(header, 4);
    return (type == 1 || type == 2) && words == kWmfHeaderSize / 2 &&
           (version == 0x0100 || version == 0x0300);
}

std::optional<PictureSize> peekPlainWmfExtent(const PeekSource& file) {
    std::uint64_t offset = kWmfHeaderSize;
    for (int record = 0; record < kMaxRecords && offset < file.size(); ++record) {
        const auto head = file.bytes<kRecordHead>(offset);
        if (!head) return std::nullopt;
        const std::uint64_t bytes = std::uint64_t{little32(*head, 0)} * 2;
        const std::uint32_t function = little16(*head, 4);
        if (bytes < kRecordHead || !file.holds(offset, bytes)) return std::nullopt;
        if (function == kEof) return std::nullopt;
        if (function == kSetWindowExt) {
            const auto extent = file.bytes<4>(offset + kRecordHead);
            if (bytes < kRecordHead + 4 || !extent) return std::nullopt;
            return frameSize(std::llabs(signed16(little16(*extent, 2))),
                             std::llabs(signed16(little16(*extent, 0))));
        }
        offset += bytes;
    }
    return std::nullopt;
}

std::optional<PictureSize> peekWmf(const PeekSource& file) {
    const auto start = file.bytes<kPlaceableHeaderSize>(0);
    const bool placeable = start && little32(*start, 0) == kPlaceableKey;
    const std::size_t headerAt = placeable ? kPlaceableHeaderSize : 0;
    const auto header = file.bytes<kWmfHeaderSize>(headerAt);
    if (!header || !isWmfHeader(*header)) return std::nullopt;
    if (!placeable) return peekPlainWmfExtent(file);

    // The bounding box in the file's units per inch.
    const std::int64_t unitsPerInch = little16(*start, 14);
    if (unitsPerInch == 0) return std::nullopt;
    const auto pixels = [unitsPerInch](std::int64_t extent) {
        return (std::llabs(extent) * 96 + unitsPerInch / 2) / unitsPerInch;
    };
    const std::int64_t left = signed16(little16(*start, 6));
    const std::int64_t top = signed16(little16(*start, 8));
    const std::int64_t right = signed16(little16(*start, 10));
    const std::int64_t bottom = signed16(little16(*start, 12));
    return frameSize(pixels(right - left), pixels(bottom - top));
}

}  // namespace

std::optional<PictureSize> peekMetafile(const PeekSource& file) {
    const auto start = file.bytes<44>(0);
    const bool looksLikeEmf =
        start && little32(*start, 0) == kEmfHeaderRecord && little32(*start, 40) == kEmfSignature;
    return looksLikeEmf ? peekEmf(file) : peekWmf(file);
}

}  // namespace quillmere::peek
