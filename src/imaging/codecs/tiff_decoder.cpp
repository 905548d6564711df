#include "imaging/codecs/tiff_decoder.h"

#include <memory>

#include "common/app_error.h"
#include "imaging/codecs/blend_over_white.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/codecs/tiff_library.h"
#include "imaging/codecs/tiff_memory_io.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

struct TiffCloser {
    void operator()(TIFF* tiff) const { tiffLibrary().close(tiff); }
};

[[noreturn]] void throwInvalid() {
    throw InvalidPictureError(imaging_messages::invalidStreamFormat());
}

template <typename T>
T field(TIFF* tiff, ttag_t tag) {
    T value{};
    tiffLibrary().getFieldDefaulted(tiff, tag, &value);
    return value;
}

// Plain 8-bit RGB in strips, the layout most writers (this program among
// them) produce: read straight into the bitmap.
bool isPlainRgbStrips(TIFF* tiff) {
    return !tiffLibrary().isTiled(tiff) && field<std::uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE) == 8 &&
           field<std::uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL) == 3 &&
           field<std::uint16_t>(tiff, TIFFTAG_PHOTOMETRIC) == PHOTOMETRIC_RGB &&
           field<std::uint16_t>(tiff, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_CONTIG &&
           field<std::uint16_t>(tiff, TIFFTAG_ORIENTATION) == ORIENTATION_TOPLEFT;
}

void readPlainRgb(TIFF* tiff, Bitmap24& bitmap) {
    if (static_cast<std::size_t>(tiffLibrary().scanlineSize64(tiff)) != bitmap.stride())
        throwInvalid();
    for (int y = 0; y < bitmap.height(); ++y) {
        if (tiffLibrary().readScanline(tiff, bitmap.row(y), static_cast<std::uint32_t>(y), 0) < 0) {
            throwInvalid();
        }
    }
}

// libtiff's RGBA reader premultiplies unassociated alpha, except for 8-bit
// grey with alpha, which it passes on as stored.
bool rgbaReaderKeepsStraightAlpha(TIFF* tiff) {
    const auto photometric = field<std::uint16_t>(tiff, TIFFTAG_PHOTOMETRIC);
    if (photometric != PHOTOMETRIC_MINISBLACK && photometric != PHOTOMETRIC_MINISWHITE) {
        return false;
    }
    if (field<std::uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE) != 8 ||
        field<std::uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL) != 2) {
        return false;
    }
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    return tiffLibrary().getField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) && count == 1 &&
           kinds[0] == EXTRASAMPLE_UNASSALPHA;
}

// Everything else through libtiff's RGBA reader, whose output is (almost
// always) premultiplied: over white a channel becomes colour + 255 - alpha.
void readAsRgba(TIFF* tiff, Bitmap24& bitmap) {
    char why[1024];
    if (!tiffLibrary().rgbaImageOk(tiff, why)) throwInvalid();
    const auto width = static_cast<std::uint32_t>(bitmap.width());
    const auto height = static_cast<std::uint32_t>(bitmap.height());
    auto raster = std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t{width} * height);
    if (!tiffLibrary().readRgbaImageOriented(tiff, width, height, raster.get(), ORIENTATION_TOPLEFT,
                                             1)) {
        throwInvalid();
    }
    const bool straight = rgbaReaderKeepsStraightAlpha(tiff);
    const std::uint32_t* in = raster.get();
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* out = bitmap.row(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x, ++in, out += 3) {
            const std::uint32_t p = *in;
            if (straight) {
                out[0] = blendOverWhite(TIFFGetR(p), TIFFGetA(p));
                out[1] = blendOverWhite(TIFFGetG(p), TIFFGetA(p));
                out[2] = blendOverWhite(TIFFGetB(p), TIFFGetA(p));
                continue;
            }
            const std::uint32_t transparency = 255 - TIFFGetA(p);
            out[0] =
                static_cast<std::uint8_t>(std::min<std::uint32_t>(255, TIFFGetR(p) + transparency));
            out[1] =
                static_cast<std::uint8_t>(std::min<std::uint32_t>(255, TIFFGetG(p) + transparency));
            out[2] =
                static_cast<std::uint8_t>(std::min<std::uint32_t>(255, TIFFGetB(p) + transparency));
        }
    }
}

}  // namespace

Bitmap24 decodeTiff(std::span<const std::uint8_t> bytes) {
    TiffMemoryReader reader{bytes, 0};
    std::unique_ptr<TIFF, TiffCloser> tiff(openTiffForReading(reader));
    if (!tiff) throwInvalid();

    const auto width = field<std::uint32_t>(tiff.get(), TIFFTAG_IMAGEWIDTH);
    const auto height = field<std::uint32_t>(tiff.get(), TIFFTAG_IMAGELENGTH);
    if (width == 0 || height == 0) throwInvalid();
    if (!fitsPictureLimits(width, height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(width, height));
    }

    Bitmap24 bitmap = Bitmap24::uninitialised(static_cast<int>(width), static_cast<int>(height));
    if (isPlainRgbStrips(tiff.get())) {
        readPlainRgb(tiff.get(), bitmap);
    } else {
        readAsRgba(tiff.get(), bitmap);
    }
    return bitmap;
}

}  // namespace quillmere
