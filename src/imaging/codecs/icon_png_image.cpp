#include "imaging/codecs/icon_png_image.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace quillmere {

namespace {

// How the rows are stored while libpng fills them.
enum class Layout { Mono, Indexed8, Grey8, Grey16, Rgb32, Argb32, Rgbx64, Rgba64 };

struct PngRead {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
    bool readingEnd = false;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop end = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    Layout layout = Layout::Rgb32;
    std::vector<std::uint32_t> colours;  // straight-alpha table of Mono and Indexed8
    std::size_t paletteSize = 0;         // indexes of a palette image beyond it read as 0
    std::size_t stride = 0;
    std::vector<std::uint8_t> bits;
    std::vector<png_bytep> rows;
};

void readBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* d = static_cast<PngRead*>(png_get_io_ptr(png));
    const std::size_t left = d->data.size() - d->position;
    if (d->readingEnd && left < 4 && length == 4) {
        // The IEND chunk's CRC may be missing; it reads as the right one.
        static constexpr std::uint8_t kEndCrc[4] = {0xAE, 0x42, 0x60, 0x82};
        std::memcpy(out, kEndCrc, 4);
        d->position = d->data.size();
        return;
    }
    if (left < length) png_error(png, "Read Error");
    std::memcpy(out, d->data.data() + d->position, length);
    d->position += length;
}

[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

std::size_t bytesPerPixel(Layout layout) {
    switch (layout) {
        case Layout::Mono:
        case Layout::Indexed8:
        case Layout::Grey8:
            return 1;
        case Layout::Grey16:
            return 2;
        case Layout::Rgb32:
        case Layout::Argb32:
            return 4;
        case Layout::Rgbx64:
        case Layout::Rgba64:
            return 8;
    }
    return 4;
}

void setGreyTransforms(PngRead& d, int depth) {
    png_structp png = d.png;
    const bool hasTrns = png_get_valid(png, d.info, PNG_INFO_tRNS) != 0;
    png_bytep alphas = nullptr;
    png_color_16p key = nullptr;
    int keys = 0;
    if (depth == 1 && png_get_channels(png, d.info) == 1) {
        png_set_invert_mono(png);
        d.layout = Layout::Mono;
        d.colours = {argb(255, 255, 255, 255), argb(255, 0, 0, 0)};
        if (png_get_tRNS(png, d.info, &alphas, &keys, &key) && key) {
            if (key->gray == 0) d.colours[1] = 0;
            if (key->gray == 1) d.colours[0] = argb(0, 255, 255, 255);
        }
    } else if (depth == 16 && !hasTrns) {
        d.layout = Layout::Grey16;
        png_set_swap(png);
    } else if (depth == 16) {
        png_set_expand(png);
        png_set_gray_to_rgb(png);
        png_set_swap(png);
        d.layout = Layout::Rgba64;
    } else if (depth == 8 && !hasTrns) {
        png_set_expand(png);
        d.layout = Layout::Grey8;
    } else {
        if (depth < 8) png_set_packing(png);
        const int count = depth < 8 ? 1 << depth : 256;
        d.layout = Layout::Indexed8;
        for (int i = 0; i < count; ++i) {
            const auto grey = static_cast<unsigned>(i * 255 / (count - 1));
            d.colours.push_back(argb(255, grey, grey, grey));
        }
        if (png_get_tRNS(png, d.info, &alphas, &keys, &key) && key && key->gray < count) {
            d.colours[key->gray] = 0;
        }
    }
}

void setPaletteTransforms(PngRead& d, int depth, png_colorp palette, int entries) {
    png_structp png = d.png;
    if (depth != 1) png_set_packing(png);
    d.layout = depth == 1 ? Layout::Mono : Layout::Indexed8;
    // A two-colour table starts as black and white; a larger one, all 0.
    if (depth == 1) {
        d.colours = {argb(255, 0, 0, 0), argb(255, 255, 255, 255)};
    } else {
        d.colours.assign(static_cast<std::size_t>(entries), 0);
    }
    png_bytep alphas = nullptr;
    png_color_16p key = nullptr;
    int opaqueFrom = 0;
    if (png_get_tRNS(png, d.info, &alphas, &opaqueFrom, &key) && alphas) {
        for (int i = 0; i < opaqueFrom && i < static_cast<int>(d.colours.size()); ++i) {
            d.colours[i] = argb(alphas[i], palette[i].red, palette[i].green, palette[i].blue);
        }
    } else {
        opaqueFrom = 0;
    }
    for (int i = opaqueFrom; i < entries && i < static_cast<int>(d.colours.size()); ++i) {
        d.colours[i] = argb(255, palette[i].red, palette[i].green, palette[i].blue);
    }
    if (d.layout == Layout::Indexed8) d.paletteSize = static_cast<std::size_t>(entries);
    png_set_bgr(png);
}

// Returns false for 16-bit colour with a tRNS chunk, whose pixels the
// reader got three channels of where it kept room for four, the rest of
// each row left as it found it in memory.
bool setColourTransforms(PngRead& d, int depth, int colourType) {
    png_structp png = d.png;
    const bool hasTrns = png_get_valid(png, d.info, PNG_INFO_tRNS) != 0;
    const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
    if (depth == 16) {
        if (!hasAlpha && hasTrns && (colourType & PNG_COLOR_MASK_COLOR)) return false;
        d.layout = Layout::Rgba64;
        if (!hasAlpha && !hasTrns) {
            png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);
            d.layout = Layout::Rgbx64;
        }
        if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
        png_set_swap(png);
        return true;
    }
    png_set_expand(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    d.layout = Layout::Argb32;
    if (!hasAlpha && !hasTrns) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        d.layout = Layout::Rgb32;
    }
    png_set_bgr(png);
    return true;
}

bool setTransforms(PngRead& d) {
    int depth = 0;
    int colourType = 0;
    png_get_IHDR(d.png, d.info, &d.width, &d.height, &depth, &colourType, nullptr, nullptr,
                 nullptr);
    png_set_interlace_handling(d.png);
    png_colorp palette = nullptr;
    int entries = 0;
    if (colourType == PNG_COLOR_TYPE_GRAY) {
        setGreyTransforms(d, depth);
    } else if (colourType == PNG_COLOR_TYPE_PALETTE &&
               png_get_PLTE(d.png, d.info, &palette, &entries) && entries <= 256) {
        setPaletteTransforms(d, depth, palette, entries);
    } else if (!setColourTransforms(d, depth, colourType)) {
        return false;
    }
    png_read_update_info(d.png, d.info);
    return true;
}

// Holds no object with a destructor, so libpng's longjmp skips nothing.
bool runRead(PngRead* d) {
    if (setjmp(png_jmpbuf(d->png))) return false;
    png_set_read_fn(d->png, d, readBytes);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
    png_set_option(d->png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
    png_read_info(d->png, d->info);
    if (!setTransforms(*d)) return false;
    const std::size_t pixelBits = d->layout == Layout::Mono ? 1 : 8 * bytesPerPixel(d->layout);
    d->stride = (std::size_t{d->width} * pixelBits + 31) / 32 * 4;
    d->bits.assign(d->stride * d->height, 0);
    d->rows.resize(d->height);
    for (png_uint_32 y = 0; y < d->height; ++y) d->rows[y] = d->bits.data() + d->stride * y;
    png_read_image(d->png, d->rows.data());
    d->readingEnd = true;
    png_read_end(d->png, d->end);
    return true;
}

// A 16-bit channel to the nearest 8-bit value (a 257th, rounded).
std::uint8_t roundTo8(std::uint32_t value16) {
    const std::uint32_t x = value16 + 128;
    return static_cast<std::uint8_t>((x - (x >> 8)) >> 8);
}

std::uint32_t premultiply16(std::uint32_t channel, std::uint32_t alpha) {
    const std::uint64_t x = std::uint64_t{channel} * alpha;
    return static_cast<std::uint32_t>((x + (x >> 16) + 0x8000) >> 16);
}

std::uint32_t pixel64(const std::uint8_t* p, bool withAlpha) {
    const auto at = [p](int i) {
        return std::uint32_t{p[2 * i]} | (std::uint32_t{p[2 * i + 1]} << 8);
    };
    std::uint32_t r = at(0);
    std::uint32_t g = at(1);
    std::uint32_t b = at(2);
    const std::uint32_t a = withAlpha ? at(3) : 0xFFFF;
    if (a == 0) return 0;
    if (a != 0xFFFF) {
        r = premultiply16(r, a);
        g = premultiply16(g, a);
        b = premultiply16(b, a);
    }
    return argb(roundTo8(a), roundTo8(r), roundTo8(g), roundTo8(b));
}

std::uint32_t premultipliedPixel(const PngRead& d, const std::uint8_t* row, png_uint_32 x,
                                 const std::vector<std::uint32_t>& table) {
    switch (d.layout) {
        case Layout::Mono:
            return table[(row[x / 8] >> (7 - x % 8)) & 1];
        case Layout::Indexed8: {
            std::uint8_t index = row[x];
            if (d.paletteSize != 0 && index >= d.paletteSize) index = 0;
            return index < table.size() ? table[index] : 0;
        }
        case Layout::Grey8:
            return argb(255, row[x], row[x], row[x]);
        case Layout::Grey16: {
            const std::uint8_t grey = roundTo8(row[2 * x] | (std::uint32_t{row[2 * x + 1]} << 8));
            return argb(255, grey, grey, grey);
        }
        case Layout::Rgb32:
        case Layout::Argb32: {
            const std::uint8_t* p = row + 4 * x;
            const std::uint32_t stored = argb(p[3], p[2], p[1], p[0]);
            return d.layout == Layout::Rgb32 ? stored | 0xFF000000u : premultiply(stored);
        }
        case Layout::Rgbx64:
        case Layout::Rgba64:
            return pixel64(row + 8 * x, d.layout == Layout::Rgba64);
    }
    return 0;
}

PremultipliedImage premultiplied(const PngRead& d) {
    std::vector<std::uint32_t> table;
    for (const std::uint32_t colour : d.colours) table.push_back(premultiply(colour));
    PremultipliedImage image(static_cast<int>(d.width), static_cast<int>(d.height));
    for (png_uint_32 y = 0; y < d.height; ++y) {
        const std::uint8_t* row = d.bits.data() + d.stride * y;
        std::uint32_t* out = image.row(static_cast<int>(y));
        for (png_uint_32 x = 0; x < d.width; ++x) out[x] = premultipliedPixel(d, row, x, table);
    }
    return image;
}

}  // namespace

std::optional<PremultipliedImage> decodeIconPng(std::span<const std::uint8_t> data) {
    PngRead d;
    d.data = data;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!d.png) return std::nullopt;
    d.info = png_create_info_struct(d.png);
    d.end = png_create_info_struct(d.png);
    const bool read = d.info && d.end && runRead(&d);
    png_destroy_read_struct(&d.png, &d.info, &d.end);
    if (!read) return std::nullopt;
    return premultiplied(d);
}

}  // namespace quillmere
