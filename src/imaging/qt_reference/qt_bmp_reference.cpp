#include "imaging/qt_reference/qt_bmp_reference.h"

#include <QImageReader>
#include <algorithm>
#include <cstdlib>
#include <new>

#include "common/app_error.h"
#include "imaging/codecs/dib_header.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"
#include "imaging/qt_reference/qt_image_bridge.h"
#include "imaging/qt_reference/qt_reading.h"

namespace quillmere {

Bitmap24 decodeBmpWithQt(std::span<const std::uint8_t> bytes, QtReadLog* log) {
    // The size is checked here, from the header itself: Qt's reader reports
    // a top-down bitmap's height as negative, which no size check catches.
    const bool hasSignature = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    const std::optional<DibHeader> header =
        hasSignature ? readDibHeader(bytes, kBmpFileHeaderSize) : std::nullopt;
    bool sizeKnown = false;
    long long width = 0;
    long long height = 0;
    if (header) {
        sizeKnown = header->width > 0 && header->height != 0;
        width = std::llabs(header->width);
        height = std::llabs(header->height);
    }
    if (!fitsPictureLimits(width, height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(width, height));
    }
    // Qt's reader stops quietly where uncompressed pixels run out and
    // leaves the rest of the image as it found it, so a file that cannot
    // hold its pixels is refused rather than shown with made-up ones.
    const std::size_t pixelsStart = header ? earliestBmpPixels(bytes, *header) : bytes.size();
    const std::size_t pixelRoom = bytes.size() - pixelsStart;
    if (header && header->storesPlainRows() && pixelRoom < header->plainPixelBytes()) {
        throw InvalidPictureError(imaging_messages::bitmapNotValid());
    }

    LoggingBuffer buffer(bytes, log);
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
        // Run-length data may skip pixels; they are those of colour 0.
        if (!header->storesPlainRows()) image.fill(0);
    }
    if (!reader.read(&image) || image.isNull()) {
        throw InvalidPictureError(imaging_messages::bitmapNotValid());
    }
    return bitmapFromOpaqueImage(image);
}

}  // namespace quillmere
