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

// Refuses, before anything is allocated, a bitmap beyond the picture
// limits or one whose uncompressed rows the file cannot hold.
void checkDeclaredSize(std::span<const std::uint8_t> bytes) {
    const bool hasSignature = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    const std::optional<DibHeader> header =
        hasSignature ? readDibHeader(bytes, kBmpFileHeaderSize) : std::nullopt;
    if (!header) return;
    const long long width = std::llabs(header->width);
    const long long height = std::llabs(header->height);
    if (!fitsPictureLimits(width, height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(width, height));
    }
    const std::size_t room = bytes.size() - earliestBmpPixels(bytes, *header);
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
