#include "imaging/picture_encoding.h"

#include "common/path_text.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/gif_encoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "imaging/codecs/tiff_encoder.h"

namespace quillmere {

EncoderKind encoderForTarget(const QString& path) {
    const qsizetype dot = extensionDotIndex(path);
    const QString extension = dot < 0 ? QString() : path.mid(dot).toLower();
    if (extension == u".jpg") return EncoderKind::Jpeg;
    if (extension == u".png") return EncoderKind::Png;
    if (extension == u".gif") return EncoderKind::Gif;
    if (extension == u".tiff") return EncoderKind::Tiff;
    return EncoderKind::Bmp;
}

std::vector<std::uint8_t> encodePicture(const Bitmap24& bitmap, EncoderKind encoder, int quality) {
    switch (encoder) {
        case EncoderKind::Jpeg:
            return encodeJpeg(bitmap, quality);
        case EncoderKind::Png:
            return encodePng(bitmap);
        case EncoderKind::Gif:
            return encodeGif(bitmap);
        case EncoderKind::Tiff:
            return encodeTiff(bitmap);
        case EncoderKind::Bmp:
            break;
    }
    return encodeBmp(bitmap);
}

}  // namespace quillmere
