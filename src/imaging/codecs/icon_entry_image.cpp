#include "imaging/codecs/icon_entry_image.h"

#include <algorithm>
#include <array>
#include <vector>

#include "imaging/codecs/byte_order.h"
#include "imaging/codecs/byte_stream.h"
#include "imaging/codecs/dib_header.h"
#include "imaging/codecs/icon_png_image.h"

namespace quillmere {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr int kMaxSide = 256;

struct DirectoryEntry {
    int width = 0;
    int height = 0;
    unsigned bitCount = 0;
    std::uint32_t bytes = 0;
    std::uint32_t offset = 0;
};

DirectoryEntry entryAt(std::span<const std::uint8_t> b, std::size_t at) {
    return {b[at], b[at + 1], little16(b, at + 6), little32(b, at + 8), little32(b, at + 12)};
}

bool startsAsPng(ByteStream& in) {
    static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P',  'N',  'G',
                                                               '\r', '\n', 0x1A, '\n'};
    const std::span<const std::uint8_t> head = in.take(kSignature.size());
    return std::equal(head.begin(), head.end(), kSignature.begin(), kSignature.end());
}

// How the pixels are held once read: through a two-colour table, a table
// of up to 256 colours, or as 32-bit pixels with or without alpha.
enum class Holding { Mono, Indexed, Rgb, Argb };

struct BitmapImage {
    int width = 0;
    int height = 0;
    unsigned bitCount = 0;
    Holding holding = Holding::Argb;
    std::vector<std::uint32_t> colours;
    std::size_t stride = 0;             // bytes a held row takes
    std::vector<std::uint8_t> indexes;  // Mono and Indexed rows, top-down
    PremultipliedImage pixels;          // Rgb and Argb
};

std::size_t heldStride(Holding holding, int width) {
    const auto w = static_cast<std::size_t>(width);
    switch (holding) {
        case Holding::Mono:
            return (w + 31) / 32 * 4;
        case Holding::Indexed:
            return (w + 3) / 4 * 4;
        default:
            return 4 * w;
    }
}

bool readColours(ByteStream& in, BitmapImage& image, int count) {
    std::uint8_t entry[4];
    for (int i = 0; i < count; ++i) {
        if (!in.read(entry, 4)) return false;
        image.colours.push_back(argb(255, entry[2], entry[1], entry[0]));
    }
    return true;
}

// Rows stored bottom-up, taken as they are held.
bool readHeldRows(ByteStream& in, BitmapImage& image) {
    for (int y = image.height - 1; y >= 0; --y) {
        const std::span<const std::uint8_t> row = in.take(image.stride);
        if (row.size() < image.stride) return false;
        if (image.holding == Holding::Argb) {
            std::uint32_t* out = image.pixels.row(y);
            for (int x = 0; x < image.width; ++x)
                out[x] = little32(row, 4 * static_cast<std::size_t>(x));
        } else {
            std::copy(row.begin(), row.end(),
                      image.indexes.begin() + static_cast<std::ptrdiff_t>(image.stride * y));
        }
    }
    return true;
}

bool readNibbleRows(ByteStream& in, BitmapImage& image) {
    const std::size_t length = (static_cast<std::size_t>(image.width) + 7) / 8 * 4;
    for (int y = image.height - 1; y >= 0; --y) {
        const std::span<const std::uint8_t> row = in.take(length);
        if (row.size() < length) return false;
        std::uint8_t* out = image.indexes.data() + image.stride * y;
        for (int x = 0; x < image.width; ++x) out[x] = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    }
    return true;
}

bool readDirectRows(ByteStream& in, BitmapImage& image) {
    const std::size_t length =
        (static_cast<std::size_t>(image.width) * image.bitCount + 31) / 32 * 4;
    const std::size_t step = image.bitCount / 8;
    for (int y = image.height - 1; y >= 0; --y) {
        const std::span<const std::uint8_t> row = in.take(length);
        if (row.size() < length) return false;
        std::uint32_t* out = image.pixels.row(y);
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = row.data() + step * static_cast<std::size_t>(x);
            out[x] = argb(step == 4 ? p[3] : 255, p[2], p[1], p[0]);
        }
    }
    return true;
}

bool readPixels(ByteStream& in, BitmapImage& image) {
    switch (image.bitCount) {
        case 1:
        case 8:
            return readHeldRows(in, image);
        case 4:
            // Nibbles widened to bytes fill only part of a 32-bit row; what
            // they leave is not the file's, so such an image is refused.
            return image.holding == Holding::Indexed && readNibbleRows(in, image);
        default:
            return readDirectRows(in, image);
    }
}

std::uint32_t heldColour(const BitmapImage& image, int x, int y) {
    const std::uint8_t* row = image.indexes.data() + image.stride * y;
    const std::size_t index =
        image.holding == Holding::Mono ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x];
    return index < image.colours.size() ? premultiply(image.colours[index]) : 0;
}

// Pixels whose bit in the AND mask is set become transparent.
std::optional<PremultipliedImage> maskedImage(ByteStream& in, const BitmapImage& image) {
    const std::size_t maskStride = heldStride(Holding::Mono, image.width);
    PremultipliedImage out(image.width, image.height);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::span<const std::uint8_t> mask = in.take(maskStride);
        if (mask.size() < maskStride) return std::nullopt;
        std::uint32_t* row = out.row(y);
        for (int x = 0; x < image.width; ++x) {
            const bool masked = (mask[x / 8] >> (7 - x % 8)) & 1;
            if (masked) {
                row[x] = 0;
            } else if (image.holding == Holding::Argb) {
                row[x] = premultiply(image.pixels.row(y)[x]);
            } else {
                row[x] = heldColour(image, x, y);
            }
        }
    }
    return out;
}

std::optional<PremultipliedImage> readBitmap(ByteStream& in, const DirectoryEntry& entry) {
    in.seek(entry.offset);
    const std::span<const std::uint8_t> header = in.take(kDibInfoHeaderSize);
    if (header.size() < kDibInfoHeaderSize) return std::nullopt;
    BitmapImage image;
    const unsigned stored = little16(header, 14);
    image.bitCount = stored != 0 ? stored : entry.bitCount;
    const unsigned bits = image.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return std::nullopt;
    }
    const bool direct = bits >= 16;
    const std::uint32_t used = little32(header, 32);
    // The count is taken as a signed number: a huge one leaves no table.
    const int colours = direct ? 0 : used != 0 ? static_cast<int>(used) : 1 << bits;
    if (colours > 256) return std::nullopt;
    image.width = entry.width != 0 ? entry.width : static_cast<int>(little32(header, 4));
    image.height = entry.height != 0 ? entry.height : static_cast<int>(little32(header, 8) / 2);
    if (image.width > kMaxSide || image.height > kMaxSide) return std::nullopt;
    if (image.width <= 0 || image.height <= 0) return std::nullopt;

    image.holding = bits == 24                  ? Holding::Rgb
                    : colours == 2 && bits == 1 ? Holding::Mono
                    : colours > 0               ? Holding::Indexed
                                                : Holding::Argb;
    image.stride = heldStride(image.holding, image.width);
    if (image.holding == Holding::Mono || image.holding == Holding::Indexed) {
        image.indexes.assign(image.stride * static_cast<std::size_t>(image.height), 0);
    } else {
        image.pixels = PremultipliedImage(image.width, image.height);
    }
    if (colours > 0 && !readColours(in, image, colours)) return std::nullopt;
    if (bits == 16 || !readPixels(in, image)) return std::nullopt;

    if (!direct) return maskedImage(in, image);
    PremultipliedImage out = std::move(image.pixels);
    if (image.holding == Holding::Argb) {
        for (std::uint32_t& p : out.pixels) p = premultiply(p);
    }
    return out;
}

}  // namespace

std::optional<PremultipliedImage> readIconEntryImage(std::span<const std::uint8_t> bytes,
                                                     int index) {
    const std::size_t at = kDirectorySize + kEntrySize * static_cast<std::size_t>(index);
    const DirectoryEntry entry = entryAt(bytes, at);
    ByteStream in(bytes);
    if (!in.seek(entry.offset) || entry.bytes > in.remaining()) return std::nullopt;
    if (startsAsPng(in)) {
        in.seek(entry.offset);
        return decodeIconPng(in.take(entry.bytes));
    }
    return readBitmap(in, entry);
}

}  // namespace quillmere
