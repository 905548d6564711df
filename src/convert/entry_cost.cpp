#include "convert/entry_cost.h"

#include <algorithm>

#include "imaging/codecs/picture_limits.h"

namespace quillmere {

namespace {

using Bytes = std::uint64_t;

struct Raster {
    Bytes width = 0;
    Bytes height = 0;

    Bytes pixels() const { return width * height; }
    // The 24-bit bitmap every picture becomes.
    Bytes bitmap() const { return 3 * pixels(); }
    // 24-bit rows padded to 4 bytes, as Qt's RGB888 images and BMP files
    // store them.
    Bytes paddedRows() const { return (3 * width + 3) / 4 * 4 * height; }
};

// A byte vector that starts with `capacity` reserved and is appended to,
// at most `step` bytes at a time, until it holds `size`. When an append
// does not fit, libstdc++ gives it its size plus the larger of its size and
// the append, and the old block lives until its bytes are copied. As the
// vector may hold up to `step` bytes less than its capacity when that
// happens, the capacity after each growth is followed as a range: its top
// bounds the bytes held, its bottom decides whether a further growth may
// come. The most held at once, and the capacity the finished file keeps.
struct Growth {
    Bytes peak = 0;
    Bytes capacity = 0;
};

Growth vectorGrowth(Bytes capacity, Bytes size, Bytes step) {
    Bytes low = capacity;
    Bytes high = capacity;
    Bytes peak = capacity;
    while (low < size) {
        const Bytes nextHigh = high + std::max({high, step, Bytes{1}});
        const Bytes heldAtLeast = low - std::min(low, step);
        low = std::max(low + 1, 2 * heldAtLeast);
        peak = std::max(peak, high + nextHigh);
        high = nextHigh;
    }
    return {peak, high};
}

// --- Decoding: the file's bytes are held throughout.

// Qt's reader fills a 32-bit image (or a smaller indexed one); a 32-bit
// image with alpha is copied to be read as opaque, the copy converted to
// padded RGB888, then that into the bitmap while the first image lives.
Bytes bmpDecoding(const Raster& r) {
    const Bytes image = 4 * r.pixels();
    return image + std::max(image + r.paddedRows(), r.paddedRows() + r.bitmap());
}

// Qt's reader may convert what it reads, the AND mask is applied to a
// 32-bit copy, and that is premultiplied before it is scaled to 32 x 32:
// up to three 32-bit images of the stored size at once.
Bytes iconDecoding(const PictureSize& size, const Raster& r) {
    const Raster stored{static_cast<Bytes>(size.storedWidth),
                        static_cast<Bytes>(size.storedHeight)};
    const Bytes storedPixels = stored.pixels() != 0 ? stored.pixels() : r.pixels();
    return 3 * 4 * storedPixels + 4 * 4 * r.pixels() + r.bitmap();
}

// libjpeg decodes straight into the bitmap, a group of rows at a time
// (each component's rows of a sampling unit, before and after upsampling,
// and one CMYK row): within 256 bytes a column. A picture in several scans
// adds its coefficients, which the peek counts.
Bytes jpegDecoding(const PictureSize& size, const Raster& r) {
    return r.bitmap() + size.codecBytes + 256 * r.width;
}

// libpng decodes rows into the bitmap through a row of pointers; with
// transparency a 32-bit row is blended (or, interlaced, the whole 32-bit
// picture, which the peek counts); libpng keeps two rows of up to 16-bit
// RGBA of its own.
Bytes pngDecoding(const PictureSize& size, const Raster& r) {
    return r.bitmap() + size.codecBytes + 4 * r.width + 8 * r.height + 2 * (8 * r.width + 1);
}

// giflib hands over one row of indices; the rows' order is a list of ints.
Bytes gifDecoding(const Raster& r) {
    return r.bitmap() + r.width + 4 * r.height;
}

// libtiff reads the file where it lies (mapped, not copied): plain RGB
// strips go straight into the bitmap, anything else through the 32-bit
// raster and a strip or tile that the peek counts.
Bytes tiffDecoding(const PictureSize& size, const Raster& r) {
    return r.bitmap() + size.codecBytes + 4 * r.width;
}

// The player paints a white 32-bit frame; drawing may make a 32-bit copy
// of a transformed bitmap and an 8-bit mask the size of the frame. The
// bitmaps of the file's records become 32-bit images, at most 32 times
// their bytes (a 1-bit bitmap) and no larger than the limits allow.
Bytes metafileDecoding(const Raster& r, Bytes fileSize) {
    const Bytes frame = 4 * r.pixels();
    const Bytes recordBitmaps =
        std::min<Bytes>(32 * fileSize, 4 * static_cast<Bytes>(picture_limits::kMaxMetafilePixels));
    const Bytes painting = frame + frame + r.pixels() + recordBitmaps;
    return std::max(painting, frame + r.bitmap());
}

// --- Encoding: the bitmap is held throughout.

Bytes bmpFile(const Raster& r) {
    return 54 + r.paddedRows();
}

// deflate's own state at level 7 (its window, hash chains and pending
// buffer), plus its 64 KiB output window.
constexpr Bytes kDeflateState = 400 << 10;
constexpr Bytes kPngChunkStep = 65535 + 12;

// The file grows from half the bitmap; the bound is zlib's deflateBound
// for rows that do not compress, in 64 KiB IDAT chunks.
Bytes pngEncoding(const Raster& r) {
    const Bytes filtered = r.height * (1 + 3 * r.width);
    const Bytes deflated = filtered + (filtered >> 12) + (filtered >> 14) + (filtered >> 25) + 19;
    const Bytes chunks = std::max<Bytes>(1, (deflated + 65534) / 65535);
    const Bytes fileBound = 8 + 25 + deflated + 12 * chunks + 12;
    const Growth file = vectorGrowth(r.bitmap() / 2 + 1024, fileBound, kPngChunkStep);
    return file.peak + kDeflateState + 1 + 3 * r.width;
}

// The file is held to the raw size plus 64 KiB of headers and tables:
// with the chroma subsampled 2 x 2, even uniform noise at quality 100 (the
// largest a picture codes to) takes about 2 bytes a pixel. The output
// doubles from 64 KiB; libjpeg's own rows take within 256 bytes a column.
Bytes jpegEncoding(const Raster& r) {
    const Bytes fileBound = r.bitmap() + (64 << 10);
    const Growth file = vectorGrowth(64 << 10, fileBound, 0);
    return file.peak + 256 * r.width;
}

// The quantiser's octree, the dithering's nearest-colour cells (32768, up
// to 256 candidates each) and two rows of errors, then the LZW table.
constexpr Bytes kNearestColourCells = 32768 * (8 + 48 + 256 + 16);
constexpr Bytes kLzwTable = 8192 * 12;

// One index a pixel; LZW codes grow from half a byte a pixel to at most one
// 12-bit code a pixel (plus clear codes), then the file is framed in
// 255-byte blocks while the codes and the indices are still held.
Bytes gifEncoding(const Raster& r) {
    const Bytes indices = r.pixels();
    const Bytes dithering = kNearestColourCells + 2 * 3 * (r.width + 2) * sizeof(int);
    const Bytes codes = r.pixels() + r.pixels() / 3837 + 3;
    const Bytes codeBytes = (12 * codes + 7) / 8;
    const Growth lzw = vectorGrowth(r.pixels() / 2 + 16, codeBytes, 1);
    const Bytes file = 13 + 10 + 768 + 1 + codeBytes + codeBytes / 255 + 3;
    return indices + std::max({dithering, lzw.peak + kLzwTable, lzw.capacity + file});
}

// Uncompressed strips of about 8 KiB into a vector reserved for the
// bitmap and 4 KiB; the directory at the end adds an offset and a byte
// count for each strip, which can overflow the reserve.
Bytes tiffEncoding(const Raster& r) {
    const Bytes rowsPerStrip = std::max<Bytes>(1, 8192 / (3 * r.width));
    const Bytes strips = (r.height + rowsPerStrip - 1) / rowsPerStrip;
    const Bytes stripBytes = rowsPerStrip * 3 * r.width;
    const Bytes fileBound = 8 + r.bitmap() + 1024 + 8 * strips;
    const Growth file =
        vectorGrowth(r.bitmap() + 4096, fileBound, std::max(stripBytes, 8 * strips));
    return file.peak + std::max<Bytes>(stripBytes, 8192);
}

}  // namespace

std::uint64_t decodingPeakBytes(GraphicKind kind, std::optional<PictureSize> size,
                                std::uint64_t fileSize) {
    // Unknown: refused at once. Empty: nothing is decoded or painted.
    if (!size || size->width <= 0 || size->height <= 0) return fileSize + kCodecAllowanceBytes;
    const Raster r{static_cast<Bytes>(std::max(size->width, 0)),
                   static_cast<Bytes>(std::max(size->height, 0))};
    Bytes decoder = 0;
    switch (kind) {
        case GraphicKind::Bitmap:
            decoder = bmpDecoding(r);
            break;
        case GraphicKind::Icon:
            decoder = iconDecoding(*size, r);
            break;
        case GraphicKind::Jpeg:
            decoder = jpegDecoding(*size, r);
            break;
        case GraphicKind::Png:
            decoder = pngDecoding(*size, r);
            break;
        case GraphicKind::Gif:
            decoder = gifDecoding(r);
            break;
        case GraphicKind::ImagingComponent:
            decoder = tiffDecoding(*size, r);
            break;
        case GraphicKind::Metafile:
            decoder = metafileDecoding(r, fileSize);
            break;
    }
    return fileSize + decoder + kCodecAllowanceBytes;
}

std::uint64_t encodingPeakBytes(EncoderKind encoder, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    const Raster r{static_cast<Bytes>(width), static_cast<Bytes>(height)};
    Bytes working = 0;
    switch (encoder) {
        case EncoderKind::Bmp:
            working = bmpFile(r);
            break;
        case EncoderKind::Jpeg:
            working = jpegEncoding(r);
            break;
        case EncoderKind::Png:
            working = pngEncoding(r);
            break;
        case EncoderKind::Gif:
            working = gifEncoding(r);
            break;
        case EncoderKind::Tiff:
            working = tiffEncoding(r);
            break;
    }
    return r.bitmap() + working + kCodecAllowanceBytes;
}

std::uint64_t entryCostBytes(GraphicKind kind, std::optional<PictureSize> size,
                             std::uint64_t fileSize, EncoderKind encoder) {
    const std::uint64_t decoding = decodingPeakBytes(kind, size, fileSize);
    if (!size) return decoding;
    return std::max(decoding, encodingPeakBytes(encoder, size->width, size->height));
}

}  // namespace quillmere
