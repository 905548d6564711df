// A TIFF's size from its first directory, wherever in the file it lies,
// in either byte order, classic or BigTIFF.

#include <algorithm>
#include <array>
#include <vector>

#include "imaging/codecs/picture_limits.h"
#include "imaging/peek/peek_source.h"

namespace quillmere::peek {

namespace {

// libtiff refuses a directory of more entries as damaged.
constexpr std::uint64_t kMaxEntries = 4096;

enum Tag : std::uint32_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kPhotometric = 262,
    kOrientation = 274,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kPlanarConfig = 284,
    kTileWidth = 322,
    kTileLength = 323,
};

constexpr std::uint32_t kPhotometricRgb = 2;

class Layout {
  public:
    Layout(bool bigEndian, bool bigTiff) : bigEndian_(bigEndian), bigTiff_(bigTiff) {}

    std::size_t entrySize() const { return bigTiff_ ? 20 : 12; }
    std::size_t valueField() const { return bigTiff_ ? 8 : 4; }

    std::uint64_t u16(std::span<const std::uint8_t> b, std::size_t at) const {
        return bigEndian_ ? big16(b, at) : little16(b, at);
    }
    std::uint64_t u32(std::span<const std::uint8_t> b, std::size_t at) const {
        return bigEndian_ ? big32(b, at) : little32(b, at);
    }
    std::uint64_t u64(std::span<const std::uint8_t> b, std::size_t at) const {
        return bigEndian_ ? big64(b, at) : little64(b, at);
    }
    // A count or offset field: 32 bits in classic files, 64 in BigTIFF.
    std::uint64_t word(std::span<const std::uint8_t> b, std::size_t at) const {
        return bigTiff_ ? u64(b, at) : u32(b, at);
    }

  private:
    bool bigEndian_;
    bool bigTiff_;
};

std::size_t typeSize(std::uint64_t type) {
    switch (type) {
        case 1:  // BYTE
        case 6:  // SBYTE
        case 7:  // UNDEFINED
            return 1;
        case 3:  // SHORT
        case 8:  // SSHORT
            return 2;
        case 4:   // LONG
        case 9:   // SLONG
        case 13:  // IFD
            return 4;
        case 16:  // LONG8
        case 17:  // SLONG8
        case 18:  // IFD8
            return 8;
        default:
            return 0;
    }
}

// The first value of an integer entry, read in place or from where the
// entry points.
std::optional<std::uint64_t> firstValue(const PeekSource& file, const Layout& layout,
                                        std::span<const std::uint8_t> entry) {
    const std::uint64_t type = layout.u16(entry, 2);
    const std::uint64_t count = layout.word(entry, 4);
    const std::size_t size = typeSize(type);
    if (size == 0 || count == 0) return std::nullopt;
    const std::size_t field = 4 + layout.valueField();
    std::array<std::uint8_t, 8> value{};
    if (count <= layout.valueField() / size) {
        std::copy_n(entry.begin() + static_cast<std::ptrdiff_t>(field), size, value.begin());
    } else if (!file.read(layout.word(entry, field), std::span(value).first(size))) {
        return std::nullopt;
    }
    switch (size) {
        case 1:
            return value[0];
        case 2:
            return layout.u16(value, 0);
        case 4:
            return layout.u32(value, 0);
        default:
            return layout.u64(value, 0);
    }
}

struct Directory {
    std::optional<std::uint64_t> width;
    std::optional<std::uint64_t> length;
    std::uint64_t bitsPerSample = 1;
    std::uint64_t samplesPerPixel = 1;
    std::uint64_t photometric = ~std::uint64_t{0};  // none stored
    std::uint64_t orientation = 1;
    std::uint64_t planarConfig = 1;
    std::uint64_t rowsPerStrip = 0xFFFFFFFF;
    std::uint64_t tileWidth = 0;
    std::uint64_t tileLength = 0;

    bool isPlainRgbStrips() const {
        return tileWidth == 0 && bitsPerSample == 8 && samplesPerPixel == 3 &&
               photometric == kPhotometricRgb && planarConfig == 1 && orientation == 1;
    }
};

std::optional<Directory> readDirectory(const PeekSource& file, const Layout& layout,
                                       std::uint64_t offset, std::size_t countSize) {
    std::array<std::uint8_t, 8> countBytes{};
    if (!file.read(offset, std::span(countBytes).first(countSize))) return std::nullopt;
    const std::uint64_t count =
        countSize == 2 ? layout.u16(countBytes, 0) : layout.u64(countBytes, 0);
    if (count == 0 || count > kMaxEntries) return std::nullopt;
    std::vector<std::uint8_t> entries(static_cast<std::size_t>(count) * layout.entrySize());
    if (!file.read(offset + countSize, entries)) return std::nullopt;

    Directory directory;
    for (std::size_t at = 0; at < entries.size(); at += layout.entrySize()) {
        const auto entry = std::span<const std::uint8_t>(entries).subspan(at, layout.entrySize());
        const std::uint64_t tag = layout.u16(entry, 0);
        std::uint64_t* slot = nullptr;
        switch (tag) {
            case kImageWidth:
            case kImageLength: {
                const auto value = firstValue(file, layout, entry);
                if (!value) return std::nullopt;
                (tag == kImageWidth ? directory.width : directory.length) = *value;
                continue;
            }
            case kBitsPerSample:
                slot = &directory.bitsPerSample;
                break;
            case kSamplesPerPixel:
                slot = &directory.samplesPerPixel;
                break;
            case kPhotometric:
                slot = &directory.photometric;
                break;
            case kOrientation:
                slot = &directory.orientation;
                break;
            case kPlanarConfig:
                slot = &directory.planarConfig;
                break;
            case kRowsPerStrip:
                slot = &directory.rowsPerStrip;
                break;
            case kTileWidth:
                slot = &directory.tileWidth;
                break;
            case kTileLength:
                slot = &directory.tileLength;
                break;
            default:
                continue;
        }
        if (const auto value = firstValue(file, layout, entry)) *slot = *value;
    }
    return directory;
}

// What libtiff's RGBA reader holds besides the picture's own 32-bit
// raster: one strip or tile (one of each plane) as stored, decoded.
std::uint64_t chunkBytes(const Directory& d, std::uint64_t width, std::uint64_t height) {
    using picture_limits::kMaxCodecBuffer;
    const auto limit = static_cast<std::uint64_t>(kMaxCodecBuffer);
    const std::uint64_t bitsPerPixel = std::min<std::uint64_t>(d.bitsPerSample, 64) *
                                       std::min<std::uint64_t>(d.samplesPerPixel, 64);
    if (d.tileWidth != 0) {
        const std::uint64_t tilePixels =
            std::min(limit, d.tileWidth * std::max<std::uint64_t>(d.tileLength, 1));
        return std::min(limit, (tilePixels * bitsPerPixel + 7) / 8);
    }
    const std::uint64_t rowBytes = std::min(limit, (width * bitsPerPixel + 7) / 8);
    const std::uint64_t rows = std::clamp<std::uint64_t>(d.rowsPerStrip, 1, height);
    return std::min(limit, rows * rowBytes);
}

}  // namespace

std::optional<PictureSize> peekTiff(const PeekSource& file) {
    const auto head = file.bytes<8>(0);
    if (!head) return std::nullopt;
    bool bigEndian = false;
    if ((*head)[0] == 'M' && (*head)[1] == 'M') {
        bigEndian = true;
    } else if ((*head)[0] != 'I' || (*head)[1] != 'I') {
        return std::nullopt;
    }
    const Layout classic(bigEndian, false);
    const std::uint64_t version = classic.u16(*head, 2);
    std::optional<Directory> directory;
    if (version == 42) {
        directory = readDirectory(file, classic, classic.u32(*head, 4), 2);
    } else if (version == 43) {
        // BigTIFF: 8-byte offsets, then the first directory's offset.
        const auto big = file.bytes<16>(0);
        if (!big || classic.u16(*big, 4) != 8 || classic.u16(*big, 6) != 0) return std::nullopt;
        const Layout layout(bigEndian, true);
        directory = readDirectory(file, layout, layout.u64(*big, 8), 8);
    }
    if (!directory || !directory->width || !directory->length) return std::nullopt;
    const std::uint64_t width = *directory->width;
    const std::uint64_t height = *directory->length;
    if (width == 0 || height == 0 ||
        !fitsPictureLimits(static_cast<long long>(std::min<std::uint64_t>(width, 1ull << 40)),
                           static_cast<long long>(std::min<std::uint64_t>(height, 1ull << 40)))) {
        return std::nullopt;
    }
    PictureSize size{static_cast<int>(width), static_cast<int>(height)};
    if (!directory->isPlainRgbStrips()) {
        size.codecBytes = width * height * 4 + chunkBytes(*directory, width, height);
    }
    return size;
}

}  // namespace quillmere::peek
