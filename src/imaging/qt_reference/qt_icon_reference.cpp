#include "imaging/qt_reference/qt_icon_reference.h"

#include <QImageReader>

#include "common/app_error.h"
#include "imaging/codecs/byte_order.h"
#include "imaging/codecs/ico_decoder.h"
#include "imaging/imaging_messages.h"
#include "imaging/qt_reference/qt_image_bridge.h"
#include "imaging/qt_reference/qt_reading.h"

namespace quillmere {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

// Qt's reader ignores the AND mask of 16- and 24-bit images and reads them
// opaque; the pixels the mask covers are transparent.
void applyAndMask(std::span<const std::uint8_t> bytes, int index, QImage& image) {
    const std::size_t entry = kDirectorySize + kEntrySize * static_cast<std::size_t>(index);
    const std::uint64_t offset = little32(bytes, entry + 12);
    if (offset + 40 > bytes.size()) return;
    const unsigned bits = little16(bytes, offset + 14);
    if (bits != 16 && bits != 24) return;
    const auto width = static_cast<std::uint64_t>(image.width());
    const auto height = static_cast<std::uint64_t>(image.height());
    const std::uint64_t colourRow = (width * bits + 31) / 32 * 4;
    const std::uint64_t maskRow = (width + 31) / 32 * 4;
    const std::uint64_t mask = offset + little32(bytes, offset) + colourRow * height;
    if (mask + maskRow * height > bytes.size()) return;

    image = image.convertToFormat(QImage::Format_ARGB32);
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint8_t* bitsRow = bytes.data() + mask + maskRow * (height - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (std::uint64_t x = 0; x < width; ++x) {
            if (bitsRow[x / 8] & (0x80u >> (x % 8))) line[x] = qRgba(0, 0, 0, 0);
        }
    }
}

}  // namespace

Bitmap24 decodeIconWithQt(std::span<const std::uint8_t> bytes, QtReadLog* log) {
    const int index = chooseStandardIconImage(bytes);
    if (index < 0) throw InvalidPictureError(imaging_messages::iconNotValid());

    checkIconImageSize(bytes, index);
    LoggingBuffer buffer(bytes, log);
    QImageReader reader(&buffer, "ico");
    reader.setDecideFormatFromContent(false);
    if (!reader.jumpToImage(index)) throw InvalidPictureError(imaging_messages::iconNotValid());
    QImage image = reader.read();
    if (image.isNull()) throw InvalidPictureError(imaging_messages::iconNotValid());
    applyAndMask(bytes, index, image);

    if (image.width() != kStandardIconSize || image.height() != kStandardIconSize) {
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                    .scaled(kStandardIconSize, kStandardIconSize, Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation);
    }
    return bitmapOverWhite(image);
}

}  // namespace quillmere
