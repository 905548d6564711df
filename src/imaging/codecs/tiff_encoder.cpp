#include "imaging/codecs/tiff_encoder.h"

#include <memory>

#include "common/app_error.h"
#include "imaging/codecs/tiff_library.h"
#include "imaging/codecs/tiff_memory_io.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

std::vector<std::uint8_t> encodeTiff(const Bitmap24& bitmap) {
    TiffMemoryWriter writer;
    if (bitmap.isEmpty()) return {};
    writer.bytes.reserve(bitmap.byteCount() + 4096);

    TIFF* tiff = openTiffForWriting(writer);
    if (!tiff) throw AppError(imaging_messages::invalidStreamFormat());
    bool written = true;
    const auto set = [&](ttag_t tag, auto value) {
        written = written && tiffLibrary().setField(tiff, tag, value);
    };
    set(TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bitmap.width()));
    set(TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.height()));
    set(TIFFTAG_BITSPERSAMPLE, 8);
    set(TIFFTAG_SAMPLESPERPIXEL, 3);
    set(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    set(TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    set(TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    set(TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    set(TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    set(TIFFTAG_XRESOLUTION, 96.0);
    set(TIFFTAG_YRESOLUTION, 96.0);
    set(TIFFTAG_ROWSPERSTRIP, tiffLibrary().defaultStripSize(tiff, 0));
    for (int y = 0; written && y < bitmap.height(); ++y) {
        // libtiff takes a non-const row but does not change uncompressed 8-bit data.
        written = tiffLibrary().writeScanline(tiff, const_cast<std::uint8_t*>(bitmap.row(y)),
                                              static_cast<std::uint32_t>(y), 0) == 1;
    }
    written = written && tiffLibrary().writeDirectory(tiff);
    tiffLibrary().close(tiff);
    if (!written) throw AppError(imaging_messages::invalidStreamFormat());
    return std::move(writer.bytes);
}

}  // namespace quillmere
