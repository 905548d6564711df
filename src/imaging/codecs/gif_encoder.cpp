#include "imaging/codecs/gif_encoder.h"

#include <algorithm>

#include "common/app_error.h"
#include "imaging/codecs/byte_order.h"
#include "imaging/codecs/floyd_steinberg.h"
#include "imaging/codecs/gif_lzw_encoder.h"
#include "imaging/codecs/octree_quantizer.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

constexpr int kMaxGifSide = 65535;
constexpr std::size_t kSubBlockSize = 255;

void append(std::vector<std::uint8_t>& out, std::initializer_list<std::uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void appendLittle16(std::vector<std::uint8_t>& out, int value) {
    std::uint8_t bytes[2];
    putLittle16(bytes, static_cast<std::uint32_t>(value));
    out.insert(out.end(), bytes, bytes + 2);
}

void appendScreen(std::vector<std::uint8_t>& out, int width, int height) {
    append(out, {'G', 'I', 'F', '8', '7', 'a'});
    appendLittle16(out, width);
    appendLittle16(out, height);
    append(out, {0x77, 0, 0});  // no global table, 8-bit colour resolution
}

}  // namespace

ReducedPicture reduceColours(const Bitmap24& bitmap) {
    OctreeQuantizer quantizer;
    quantizer.addBitmap(bitmap);
    const std::vector<Rgb> colours = quantizer.palette();

    ReducedPicture reduced;
    reduced.realColours = static_cast<int>(colours.size());
    std::copy(colours.begin(), colours.end(), reduced.palette.begin());
    // Copies of the last real entry are never nearer than it, and the
    // nearest-colour search gives ties to the lower index.
    const Rgb filler = colours.empty() ? Rgb{0, 0, 0} : colours.back();
    std::fill(reduced.palette.begin() + static_cast<long>(colours.size()), reduced.palette.end(),
              filler);
    reduced.indices = ditherToPalette(bitmap, reduced.palette);
    return reduced;
}

std::vector<std::uint8_t> encodeGif(const Bitmap24& bitmap) {
    std::vector<std::uint8_t> out;
    if (bitmap.isEmpty()) {
        appendScreen(out, 0, 0);
        out.push_back(0x3B);
        return out;
    }
    if (bitmap.width() > kMaxGifSide || bitmap.height() > kMaxGifSide) {
        throw AppError(imaging_messages::gifTooLarge(bitmap.width(), bitmap.height()));
    }

    const ReducedPicture reduced = reduceColours(bitmap);
    const std::vector<std::uint8_t> codes = encodeGifLzw(reduced.indices);

    out.reserve(13 + 10 + 768 + 1 + codes.size() + codes.size() / kSubBlockSize + 3);
    appendScreen(out, bitmap.width(), bitmap.height());
    append(out, {0x2C, 0, 0, 0, 0});
    appendLittle16(out, bitmap.width());
    appendLittle16(out, bitmap.height());
    out.push_back(0x87);  // local table of 256 entries, not interlaced, not sorted
    for (const Rgb& c : reduced.palette) append(out, {c.r, c.g, c.b});

    out.push_back(8);  // LZW minimum code size
    for (std::size_t at = 0; at < codes.size(); at += kSubBlockSize) {
        const std::size_t length = std::min(kSubBlockSize, codes.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), codes.begin() + static_cast<long>(at),
                   codes.begin() + static_cast<long>(at + length));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

}  // namespace quillmere
