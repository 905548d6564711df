#include "imaging/codecs/png_decoder.h"

#include <png.h>

#include <QString>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include "common/app_error.h"
#include "imaging/codecs/blend_over_white.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

enum class Failure { None, UnexpectedEnd, TooLarge, Codec };

struct PngDecoding {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    Bitmap24 result;
    std::unique_ptr<std::uint8_t[]> rgba;  // interlaced pictures with alpha
    std::vector<png_bytep> rows;
    Failure failure = Failure::None;
    char codecMessage[256] = {};
    png_uint_32 width = 0;
    png_uint_32 height = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* d = static_cast<PngDecoding*>(png_get_io_ptr(png));
    if (d->bytes.size() - d->position < length) {
        d->failure = Failure::UnexpectedEnd;
        png_error(png, "unexpected end of file");
    }
    std::memcpy(out, d->bytes.data() + d->position, length);
    d->position += length;
}

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    auto* d = static_cast<PngDecoding*>(png_get_error_ptr(png));
    if (d->failure == Failure::None) {
        d->failure = Failure::Codec;
        std::strncpy(d->codecMessage, message, sizeof d->codecMessage - 1);
    }
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Holds no object with a destructor, so libpng's longjmp skips nothing.
void runDecoding(PngDecoding* d) {
    if (setjmp(png_jmpbuf(d->png))) return;

    png_set_read_fn(d->png, d, readFromMemory);
    png_set_sig_bytes(d->png, 8);
    d->position = 8;
    png_read_info(d->png, d->info);

    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    png_get_IHDR(d->png, d->info, &d->width, &d->height, &bitDepth, &colourType, &interlace,
                 nullptr, nullptr);
    if (!fitsPictureLimits(d->width, d->height)) {
        d->failure = Failure::TooLarge;
        return;
    }

    png_set_expand(d->png);  // palettes, low grey depths and tRNS
    png_set_scale_16(d->png);
    if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(d->png);
    const bool hasAlpha =
        (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(d->png, d->info, PNG_INFO_tRNS);
    const int passes = png_set_interlace_handling(d->png);
    png_read_update_info(d->png, d->info);

    const int width = static_cast<int>(d->width);
    const int height = static_cast<int>(d->height);
    d->result = Bitmap24::uninitialised(width, height);
    if (d->result.isEmpty()) return;

    if (!hasAlpha) {
        d->rows.resize(d->height);
        for (int y = 0; y < height; ++y) d->rows[static_cast<std::size_t>(y)] = d->result.row(y);
        png_read_image(d->png, d->rows.data());
    } else if (passes > 1) {
        const std::size_t stride = static_cast<std::size_t>(width) * 4;
        d->rgba = std::make_unique_for_overwrite<std::uint8_t[]>(stride * d->height);
        d->rows.resize(d->height);
        for (std::size_t y = 0; y < d->height; ++y) d->rows[y] = d->rgba.get() + y * stride;
        png_read_image(d->png, d->rows.data());
        for (int y = 0; y < height; ++y) {
            blendRgbaRowOverWhite(d->rows[static_cast<std::size_t>(y)], d->result.row(y), width);
        }
    } else {
        d->rgba =
            std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(width) * 4);
        for (int y = 0; y < height; ++y) {
            png_read_row(d->png, d->rgba.get(), nullptr);
            blendRgbaRowOverWhite(d->rgba.get(), d->result.row(y), width);
        }
    }
    png_read_end(d->png, nullptr);
}

}  // namespace

Bitmap24 decodePng(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        throw AppError(imaging_messages::pngInvalidHeader());
    }

    PngDecoding decoding;
    decoding.bytes = bytes;
    decoding.png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &decoding, onPngError, onPngWarning);
    if (decoding.png) decoding.info = png_create_info_struct(decoding.png);
    if (!decoding.png || !decoding.info) {
        png_destroy_read_struct(&decoding.png, nullptr, nullptr);
        throw std::bad_alloc();
    }
    runDecoding(&decoding);
    png_destroy_read_struct(&decoding.png, &decoding.info, nullptr);

    switch (decoding.failure) {
        case Failure::None:
            return std::move(decoding.result);
        case Failure::UnexpectedEnd:
            throw AppError(imaging_messages::pngUnexpectedEnd());
        case Failure::TooLarge:
            throw AppError(imaging_messages::pictureTooLarge(decoding.width, decoding.height));
        case Failure::Codec:
            break;
    }
    throw AppError(QString::fromUtf8(decoding.codecMessage));
}

}  // namespace quillmere
