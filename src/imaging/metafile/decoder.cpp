#include "imaging/metafile/decoder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <new>

#include "imaging/metafile/canvas.h"
#include "imaging/metafile/device_context.h"
#include "imaging/metafile/emf_player.h"
#include "imaging/metafile/reader.h"
#include "imaging/metafile/wmf_player.h"

namespace quillmere {

namespace {

using metafile::DeviceContext;
using metafile::MetafileCanvas;
using metafile::RecordView;

// Qt's fonts need the GUI application object; without one (the batch
// program runs on QCoreApplication) text records are skipped.
bool fontsAvailable() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QImage whiteCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw std::bad_alloc();
    image.fill(Qt::white);
    return image;
}

Bitmap24 toBitmap(const QImage& image) {
    Bitmap24 bitmap = Bitmap24::uninitialised(image.width(), image.height());
    for (int y = 0; y < bitmap.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* out = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, out += 3) {
            out[0] = static_cast<std::uint8_t>(qRed(in[x]));
            out[1] = static_cast<std::uint8_t>(qGreen(in[x]));
            out[2] = static_cast<std::uint8_t>(qBlue(in[x]));
        }
    }
    return bitmap;
}

Bitmap24 decodeEnhanced(RecordView file) {
    const metafile::EmfFrame frame = metafile::readEmfFrame(file);
    if (frame.width == 0 || frame.height == 0) return {};
    QImage image = whiteCanvas(frame.width, frame.height);
    {
        DeviceContext dc(frame.deviceToPicture, frame.devicePixelsPerMillimetre);
        MetafileCanvas canvas(image, dc, fontsAvailable());
        metafile::playEmf(file, frame, canvas);
    }
    return toBitmap(image);
}

Bitmap24 decodeWindows(RecordView file) {
    const metafile::WmfFrame frame = metafile::readWmfFrame(file);
    if (frame.width == 0 || frame.height == 0) return {};
    QImage image = whiteCanvas(frame.width, frame.height);
    {
        DeviceContext dc(QTransform(), QPointF(96 / 25.4, 96 / 25.4));
        MetafileCanvas canvas(image, dc, fontsAvailable());
        metafile::playWmf(file, frame, canvas);
    }
    return toBitmap(image);
}

}  // namespace

Bitmap24 decodeMetafile(std::span<const std::uint8_t> bytes) {
    const RecordView file(bytes);
    return metafile::looksLikeEmf(bytes) ? decodeEnhanced(file) : decodeWindows(file);
}

}  // namespace quillmere
