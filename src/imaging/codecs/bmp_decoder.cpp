#include "imaging/codecs/bmp_decoder.h"

#include <algorithm>
#include <cstdlib>

#include "common/app_error.h"
#include "imaging/codecs/bmp_layout.h"
#include "imaging/codecs/bmp_pixels.h"
#include "imaging/codecs/dib_header.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

// Where the pixels start at the earliest: as the file header says, unless
// that points into the headers or past the end, when they follow the
// headers (or there are none).
std::size_t earliestPixels(std::span<const std::uint8_t> bytes, const DibHeader& header) {
    const std::size_t headersEnd =
        std::min<std::size_t>(bytes.size(), kFileHeaderSize + header.headerSize);
    const std::size_t declared =
        bytes[10] | (bytes[11] << 8) | (bytes[12] << 16) | (std::size_t{bytes[13]} << 24);
    return declared >= headersEnd && declared <= bytes.size() ? declared : headersEnd;
}

// Refuses, before anything is allocated, a bitmap beyond the picture
// limits or one whose uncompressed rows the file cannot hold.
void checkDeclaredSize(std::span<const std::uint8_t> bytes) {
    const bool hasSignature = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    const std::optional<DibHeader> header =
        hasSignature ? readDibHeader(bytes, kFileHeaderSize) : std::nullopt;
    if (!header) return;
    const long long width = std::llabs(header->width);
    const long long height = std::llabs(header->height);
    if (!fitsPictureLimits(width, height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(width, height));
    }
    const std::size_t room = bytes.size() - earliestPixels(bytes, *header);
    if (header->storesPlainRows() && room < header->plainPixelBytes()) {
        throw InvalidPictureError(imaging_messages::bitmapNotValid());
    }
}

}  // namespace

Bitmap24 decodeBmp(std::span<const std::uint8_t> bytes) {
    checkDeclaredSize(bytes);
    const std::optional<BmpLayout> layout = readBmpLayout(bytes);
    if (!layout) throw InvalidPictureError(imaging_messages::bitmapNotValid());
    std::optional<Bitmap24> picture = decodeBmpPixels(bytes, *layout);
    if (!picture) throw InvalidPictureError(imaging_messages::bitmapNotValid());
    return std::move(*picture);
}

}  // namespace quillmere
