#include "imaging/codecs/bmp_decoder.h"

#include <QBuffer>
#include <QImageReader>

#include "common/app_error.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/codecs/qt_image_bridge.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

Bitmap24 decodeBmp(std::span<const std::uint8_t> bytes) {
    allowLargeQtImages();
    QByteArray data = wrapBytes(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);

    const QSize size = reader.size();
    if (size.isValid() && !fitsPictureLimits(size.width(), size.height())) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(size.width(), size.height()));
    }
    const QImage image = reader.read();
    if (image.isNull()) throw InvalidPictureError(imaging_messages::bitmapNotValid());
    return bitmapFromOpaqueImage(image);
}

}  // namespace quillmere
