#include "imaging/codecs/jpeg_decoder.h"

#include <algorithm>

#include "common/app_error.h"
#include "imaging/codecs/jpeg_error_handling.h"

#include <jerror.h>
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

// Private message number for a picture beyond the decoders' size limits.
constexpr int kTooLarge = -1;

struct JpegDecoding {
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    std::span<const std::uint8_t> bytes;
    Bitmap24 result;
    bool created = false;
};

// Adobe's CMYK JPEG files store the inks inverted; both kinds become RGB.
void cmykRowToRgb(const JSAMPLE* cmyk, std::uint8_t* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        rgb[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        rgb[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
    }
}

// Holds no object with a destructor, so libjpeg's longjmp skips nothing.
// Returns 0 on success, else the message number.
int runDecoding(JpegDecoding* d) {
    if (setjmp(d->errors.jumpBack) != 0) return d->errors.messageCode;

    d->info.err = &d->errors.base;
    jpeg_create_decompress(&d->info);
    d->created = true;
    jpeg_mem_src(&d->info, d->bytes.data(), static_cast<unsigned long>(d->bytes.size()));
    jpeg_read_header(&d->info, TRUE);

    const bool cmyk = d->info.jpeg_color_space == JCS_CMYK || d->info.jpeg_color_space == JCS_YCCK;
    d->info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    d->info.dct_method = JDCT_FLOAT;
    d->info.do_fancy_upsampling = TRUE;
    d->info.do_block_smoothing = TRUE;
    d->info.scale_num = 1;
    d->info.scale_denom = 1;

    jpeg_calc_output_dimensions(&d->info);
    if (!fitsPictureLimits(d->info.output_width, d->info.output_height)) return kTooLarge;
    d->result = Bitmap24::uninitialised(static_cast<int>(d->info.output_width),
                                        static_cast<int>(d->info.output_height));
    jpeg_start_decompress(&d->info);

    if (cmyk) {
        JSAMPARRAY cmykRow = (*d->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->info),
                                                          JPOOL_IMAGE, d->info.output_width * 4, 1);
        while (d->info.output_scanline < d->info.output_height) {
            const JDIMENSION y = d->info.output_scanline;
            jpeg_read_scanlines(&d->info, cmykRow, 1);
            cmykRowToRgb(cmykRow[0], d->result.row(static_cast<int>(y)), d->info.output_width,
                         d->info.saw_Adobe_marker);
        }
    } else {
        constexpr int kBatch = 16;
        JSAMPROW rows[kBatch];
        while (d->info.output_scanline < d->info.output_height) {
            const JDIMENSION first = d->info.output_scanline;
            const int count =
                static_cast<int>(std::min<JDIMENSION>(kBatch, d->info.output_height - first));
            for (int i = 0; i < count; ++i) rows[i] = d->result.row(static_cast<int>(first) + i);
            jpeg_read_scanlines(&d->info, rows, static_cast<JDIMENSION>(count));
        }
    }
    jpeg_finish_decompress(&d->info);
    return 0;
}

}  // namespace

Bitmap24 decodeJpeg(std::span<const std::uint8_t> bytes) {
    // libjpeg's memory source refuses an empty buffer outright; like any
    // other stream it does not start as a JPEG.
    if (bytes.empty()) throw InvalidPictureError(imaging_messages::jpegError(JERR_NO_SOI));

    JpegDecoding decoding;
    installJpegErrorManager(decoding.errors);
    decoding.bytes = bytes;
    const int failure = runDecoding(&decoding);
    if (decoding.created) jpeg_destroy_decompress(&decoding.info);

    if (failure == kTooLarge) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(decoding.info.output_width,
                                                                    decoding.info.output_height));
    }
    if (failure != 0) throw InvalidPictureError(imaging_messages::jpegError(failure));
    return std::move(decoding.result);
}

}  // namespace quillmere
