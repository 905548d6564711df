#include "imaging/qt_reference/qt_image_bridge.h"

#include <cstring>

namespace quillmere {

QByteArray wrapBytes(std::span<const std::uint8_t> bytes) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qsizetype>(bytes.size()));
}

Bitmap24 bitmapFromOpaqueImage(const QImage& image) {
    QImage source = image;
    if (source.format() == QImage::Format_ARGB32) source.reinterpretAsFormat(QImage::Format_RGB32);
    source = source.convertToFormat(QImage::Format_RGB888);
    Bitmap24 bitmap = Bitmap24::uninitialised(source.width(), source.height());
    for (int y = 0; y < bitmap.height(); ++y) {
        std::memcpy(bitmap.row(y), source.constScanLine(y), bitmap.stride());
    }
    return bitmap;
}

Bitmap24 bitmapOverWhite(const QImage& image) {
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Bitmap24 bitmap = Bitmap24::uninitialised(source.width(), source.height());
    for (int y = 0; y < bitmap.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        std::uint8_t* out = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, out += 3) {
            const QRgb p = in[x];
            const int transparency = 255 - qAlpha(p);
            out[0] = static_cast<std::uint8_t>(std::min(255, qRed(p) + transparency));
            out[1] = static_cast<std::uint8_t>(std::min(255, qGreen(p) + transparency));
            out[2] = static_cast<std::uint8_t>(std::min(255, qBlue(p) + transparency));
        }
    }
    return bitmap;
}

}  // namespace quillmere
