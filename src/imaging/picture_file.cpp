#include "imaging/picture_file.h"

#include "common/app_error.h"
#include "common/path_text.h"
#include "imaging/codecs/bmp_decoder.h"
#include "imaging/codecs/gif_decoder.h"
#include "imaging/codecs/ico_decoder.h"
#include "imaging/codecs/jpeg_decoder.h"
#include "imaging/codecs/png_decoder.h"
#include "imaging/codecs/tiff_decoder.h"
#include "imaging/file_access.h"
#include "imaging/imaging_messages.h"
#include "imaging/metafile_playback.h"

namespace quillmere {

std::optional<GraphicKind> graphicKindForExtension(const QString& extension) {
    const QString lower = extension.toLower();
    if (lower == u"bmp") return GraphicKind::Bitmap;
    if (lower == u"ico") return GraphicKind::Icon;
    if (lower == u"wmf" || lower == u"emf") return GraphicKind::Metafile;
    if (lower == u"jpg" || lower == u"jpeg") return GraphicKind::Jpeg;
    if (lower == u"png") return GraphicKind::Png;
    if (lower == u"gif") return GraphicKind::Gif;
    if (lower == u"tif" || lower == u"tiff") return GraphicKind::ImagingComponent;
    return std::nullopt;
}

std::unique_ptr<Graphic> decodeGraphic(GraphicKind kind, std::span<const std::uint8_t> bytes) {
    const auto raster = [kind](Bitmap24 pixels) {
        return std::make_unique<RasterGraphic>(kind, std::move(pixels));
    };
    switch (kind) {
        case GraphicKind::Bitmap:
            return raster(decodeBmp(bytes));
        case GraphicKind::Icon:
            return raster(decodeIcon(bytes));
        case GraphicKind::Metafile:
            return raster(playMetafile(bytes));
        case GraphicKind::Jpeg:
            return raster(decodeJpeg(bytes));
        case GraphicKind::Png:
            return raster(decodePng(bytes));
        case GraphicKind::Gif:
            return raster(decodeGif(bytes));
        case GraphicKind::ImagingComponent:
            return raster(decodeTiff(bytes));
    }
    throw InvalidPictureError(imaging_messages::unknownExtension(QString()));
}

std::unique_ptr<Graphic> decodePictureFile(const QString& path) {
    const QString extension = extensionWithoutDot(path);
    const std::optional<GraphicKind> kind = graphicKindForExtension(extension);
    if (!kind) throw InvalidPictureError(imaging_messages::unknownExtension(extension));
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    return decodeGraphic(*kind, bytes);
}

}  // namespace quillmere
