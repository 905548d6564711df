#include "imaging/codecs/bmp_decoder.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdlib>
#include <new>

#include "common/app_error.h"
#include "imaging/codecs/dib_size.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/codecs/qt_image_bridge.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

}  // namespace

Bitmap24 decodeBmp(std::span<const std::uint8_t> bytes) {
    // The size is checked here, from the header itself: Qt's reader reports
    // a top-down bitmap's height as negative, which no size check catches.
    const bool hasSignature = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    bool sizeKnown = false;
    long long width = 0;
    long long height = 0;
    if (const auto declared = hasSignature ? readDibSize(bytes, kFileHeaderSize) : std::nullopt) {
        sizeKnown = declared->width > 0 && declared->height != 0;
        width = std::llabs(declared->width);
        height = std::llabs(declared->height);
    }
    if (!fitsPictureLimits(width, height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(width, height));
    }

    QByteArray data = wrapBytes(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);

    // Qt's reader fills an image of the right size and format as it is
    // given, so large bitmaps within the limits load without widening Qt's
    // own allocation limit, which holds for every reader in the process.
    QImage image;
    const QImage::Format format = reader.imageFormat();
    if (sizeKnown && format != QImage::Format_Invalid) {
        image = QImage(static_cast<int>(width), static_cast<int>(height), format);
        if (image.isNull()) throw std::bad_alloc();
    }
    if (!reader.read(&image) || image.isNull()) {
        throw InvalidPictureError(imaging_messages::bitmapNotValid());
    }
    return bitmapFromOpaqueImage(image);
}

}  // namespace quillmere
