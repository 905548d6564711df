#include "imaging/picture_size_peek.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/gif_encoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "imaging/codecs/tiff_encoder.h"
#include "imaging/fixtures/bmp_fixtures.h"
#include "imaging/fixtures/gif_fixtures.h"
#include "imaging/fixtures/icon_fixtures.h"
#include "imaging/fixtures/jpeg_fixtures.h"
#include "imaging/fixtures/png_fixtures.h"
#include "imaging/fixtures/tiff_fixtures.h"
#include "imaging/metafile/linked_player.h"
#include "imaging/picture_encoding.h"
#include "imaging/picture_file.h"
#include "support/metafile_writer.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {

void PrintTo(const PictureSize& size, std::ostream* out) {
    *out << size.width << " x " << size.height << " (stored " << size.storedWidth << " x "
         << size.storedHeight << ", codec " << size.codecBytes << " bytes)";
}

namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Sandbox;

const Bitmap24& picture() {
    static const Bitmap24 bitmap = test::photoLike(37, 23);
    return bitmap;
}

// A JPEG written in progressive scans, which our encoder never makes.
Bytes progressiveJpeg(const Bitmap24& bitmap) {
    return test::makeRgbJpeg(bitmap, {.progressive = true});
}

// A TIFF written by libtiff to a file, in the byte order and form its mode
// letters ask for ("b": big-endian, "8": BigTIFF), 8-bit RGB in strips of
// four rows.
Bytes libtiffFile(const Bitmap24& bitmap, const char* mode) {
    Sandbox sandbox;
    const QString path = sandbox.path(QStringLiteral("picture.tiff"));
    TIFF* tiff = TIFFOpen(path.toLocal8Bit().constData(), mode);
    if (!tiff) {
        ADD_FAILURE() << "libtiff could not write in mode " << mode;
        return {};
    }
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bitmap.width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4);
    for (int y = 0; y < bitmap.height(); ++y) {
        TIFFWriteScanline(tiff, const_cast<std::uint8_t*>(bitmap.row(y)),
                          static_cast<std::uint32_t>(y), 0);
    }
    TIFFClose(tiff);
    return Sandbox::read(path);
}

// A grey TIFF in 16 x 16 tiles, which the decoder reads through libtiff's
// RGBA raster.
Bytes tiledGreyTiff(int width, int height) {
    test::TiffPage page;
    page.width = width;
    page.height = height;
    page.samplesPerPixel = 1;
    page.photometric = PHOTOMETRIC_MINISBLACK;
    page.tiled = true;
    page.samples.assign(static_cast<std::size_t>(width * height), 128);
    return test::makeTiff({page});
}

// An icon whose one image is a PNG file.
Bytes iconHoldingPng(const Bitmap24& bitmap) {
    const Bytes png = encodePng(bitmap);
    Bytes file = {0, 0, 1, 0, 1, 0};
    const Bytes entry = {static_cast<std::uint8_t>(bitmap.width()),
                         static_cast<std::uint8_t>(bitmap.height()),
                         0,
                         0,
                         1,
                         0,
                         32,
                         0};
    file.insert(file.end(), entry.begin(), entry.end());
    const auto size = static_cast<std::uint32_t>(png.size());
    const std::uint32_t offset = 22;
    for (const std::uint32_t value : {size, offset}) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    file.insert(file.end(), png.begin(), png.end());
    return file;
}

Bytes icon(std::vector<std::pair<int, int>> sizes) {
    std::vector<test::IconImage> images;
    for (const auto& [width, height] : sizes) {
        images.push_back(test::solidIconImage(width, height, 32, {10, 20, 30, 255}));
    }
    return test::makeIcon(images);
}

// A GIF whose logical screen is larger than its one frame.
Bytes gifWithLargerScreen() {
    test::GifPicture gif;
    gif.width = 40;
    gif.height = 30;
    gif.globalColours = {{0, 0, 0}, {255, 0, 0}};
    gif.frames = {test::solidFrame(3, 4, 10, 8, 1)};
    return test::makeGif(gif);
}

Bytes plainWmf(int width, int height) {
    return test::WmfWriter::plain()
        .windowOrigin(0, 0)
        .windowExtent(width, height)
        .rectangle(0, 0, 10, 10)
        .bytes();
}

// Libjpeg's JPEG with stray bytes before a marker and a large APP segment,
// both of which the decoder reads past.
Bytes jpegWithStrayBytesAndAppSegment() {
    Bytes jpeg = encodeJpeg(picture(), 90);
    Bytes extra = {0x12, 0x34, 0xFF, 0xE1, 0x20, 0x02};  // stray bytes, then APP1 of 8192 bytes
    extra.resize(extra.size() + 8190, 0xAB);
    jpeg.insert(jpeg.begin() + 2, extra.begin(), extra.end());
    return jpeg;
}

struct PeekCase {
    std::string name;
    GraphicKind kind;
    std::function<Bytes()> make;
    PictureSize expected;
};

void PrintTo(const PeekCase& c, std::ostream* out) {
    *out << c.name;
}

// A 4:2:0 JPEG of 37 x 23 in progressive scans keeps its coefficients:
// luma 5 x 3 blocks rounded up to 2 x 2 units, 6 x 4; each chroma 3 x 2.
// (24 + 6 + 6) blocks of 64 coefficients of 2 bytes.
constexpr std::uint64_t kProgressiveCoefficients = (24 + 6 + 6) * 64 * 2;

std::vector<PeekCase> peekCases() {
    const auto encoded = [](EncoderKind encoder) {
        return [encoder] {
            switch (encoder) {
                case EncoderKind::Bmp:
                    return encodeBmp(picture());
                case EncoderKind::Jpeg:
                    return encodeJpeg(picture(), 75);
                case EncoderKind::Png:
                    return encodePng(picture());
                case EncoderKind::Gif:
                    return encodeGif(picture());
                case EncoderKind::Tiff:
                    break;
            }
            return encodeTiff(picture());
        };
    };
    return {
        {"bmp24", GraphicKind::Bitmap, encoded(EncoderKind::Bmp), {37, 23}},
        {"bmp32TopDown",
         GraphicKind::Bitmap,
         [] {
             return test::makeBmp32(5, 3, std::vector<test::Rgba>(15, {1, 2, 3, 255}),
                                    test::BmpHeader::V5, true);
         },
         {5, 3}},
        {"bmp8",
         GraphicKind::Bitmap,
         [] { return test::makeBmp8(6, 2, std::vector<std::uint8_t>(12, 7)); },
         {6, 2}},
        {"png", GraphicKind::Png, encoded(EncoderKind::Png), {37, 23}},
        {"pngInterlaced",
         GraphicKind::Png,
         [] { return test::makeRgbPng(picture(), true); },
         {37, 23, 0, 0, 37 * 23 * 4}},
        {"jpegBaseline", GraphicKind::Jpeg, encoded(EncoderKind::Jpeg), {37, 23}},
        {"jpegProgressive",
         GraphicKind::Jpeg,
         [] { return progressiveJpeg(picture()); },
         {37, 23, 0, 0, kProgressiveCoefficients}},
        {"jpegStrayBytesAndAppSegment",
         GraphicKind::Jpeg,
         jpegWithStrayBytesAndAppSegment,
         {37, 23}},
        {"gif", GraphicKind::Gif, encoded(EncoderKind::Gif), {37, 23}},
        {"gifScreenLargerThanFrame", GraphicKind::Gif, gifWithLargerScreen, {40, 30}},
        {"tiffDirectoryAtEnd", GraphicKind::ImagingComponent, encoded(EncoderKind::Tiff), {37, 23}},
        {"tiffBigEndian",
         GraphicKind::ImagingComponent,
         [] { return libtiffFile(picture(), "wb"); },
         {37, 23}},
        {"bigTiff",
         GraphicKind::ImagingComponent,
         [] { return libtiffFile(picture(), "w8"); },
         {37, 23}},
        {"bigTiffBigEndian",
         GraphicKind::ImagingComponent,
         [] { return libtiffFile(picture(), "w8b"); },
         {37, 23}},
        // Through the RGBA raster (4 bytes a pixel) and one 16 x 16 tile
        // of 8-bit grey.
        {"tiffTiledGrey",
         GraphicKind::ImagingComponent,
         [] { return tiledGreyTiff(20, 18); },
         {20, 18, 0, 0, 20 * 18 * 4 + 16 * 16}},
        // The image nearest 32 x 32 is scaled to it.
        {"iconPicksNearest",
         GraphicKind::Icon,
         [] {
             return icon({{64, 64}, {24, 24}});
         },
         {32, 32, 24, 24}},
        {"iconOfPng",
         GraphicKind::Icon,
         [] { return iconHoldingPng(test::photoLike(40, 36)); },
         {32, 32, 40, 36}},
        // 2540 x 1270 hundredths of a millimetre at 96 dots per inch.
        {"emf",
         GraphicKind::Metafile,
         [] { return test::EmfWriter::withFrame(0, 0, 2540, 1270).rectangle(1, 1, 5, 5).bytes(); },
         {96, 48}},
        // 1440 x 720 units at 1440 per inch.
        {"placeableWmf",
         GraphicKind::Metafile,
         [] {
             return test::WmfWriter::placeable(0, 0, 1440, 720, 1440).rectangle(0, 0, 9, 9).bytes();
         },
         {96, 48}},
        {"plainWmf", GraphicKind::Metafile, [] { return plainWmf(70, 50); }, {70, 50}},
    };
}

class PeekMatchesDecoder : public ::testing::TestWithParam<PeekCase> {};

TEST_P(PeekMatchesDecoder, SizeOfTheDecodedPicture) {
    const test::LinkedMetafilePlayer player;
    const PeekCase& c = GetParam();
    const Bytes file = c.make();
    ASSERT_FALSE(file.empty());
    const std::optional<PictureSize> size = peekPictureSize(c.kind, file);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, c.expected);
    const std::unique_ptr<Graphic> decoded = decodeGraphic(c.kind, file);
    EXPECT_EQ(decoded->width(), size->width);
    EXPECT_EQ(decoded->height(), size->height);
}

INSTANTIATE_TEST_SUITE_P(Formats, PeekMatchesDecoder, ::testing::ValuesIn(peekCases()),
                         [](const auto& info) { return info.param.name; });

// Each of these headers is one the decoder refuses before it allocates
// for pixels.
struct DamageCase {
    std::string name;
    GraphicKind kind;
    std::function<Bytes()> make;
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << c.name;
}

Bytes changed(Bytes file, std::size_t at, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t value : values) file.at(at++) = value;
    return file;
}

Bytes cut(Bytes file, std::size_t size) {
    file.resize(size);
    return file;
}

// Where the first marker of that code starts.
std::size_t jpegMarker(const Bytes& file, std::uint8_t code) {
    for (std::size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == code) return i;
    }
    ADD_FAILURE() << "no marker " << int{code};
    return 0;
}

Bytes jpegWithSofByte(std::size_t field, std::uint8_t value) {
    const Bytes jpeg = encodeJpeg(picture(), 75);
    return changed(jpeg, jpegMarker(jpeg, 0xC0) + field, {value});
}

std::vector<DamageCase> damageCases() {
    const Bytes bmp = encodeBmp(picture());
    const Bytes png = encodePng(picture());
    const Bytes jpeg = encodeJpeg(picture(), 75);
    const Bytes gif = encodeGif(picture());
    const Bytes tiff = encodeTiff(picture());
    const Bytes ico = icon({{16, 16}});
    const Bytes emf = test::EmfWriter(20, 10).rectangle(1, 1, 5, 5).bytes();
    const auto is = [](Bytes bytes) { return [bytes] { return bytes; }; };
    const std::uint32_t tiffDirectory =
        tiff[4] | tiff[5] << 8 | tiff[6] << 16 | static_cast<std::uint32_t>(tiff[7]) << 24;
    return {
        {"bmpEmpty", GraphicKind::Bitmap, is({})},
        {"bmpSignature", GraphicKind::Bitmap, is(changed(bmp, 0, {'X'}))},
        {"bmpHeaderCut", GraphicKind::Bitmap, is(cut(bmp, 20))},
        {"bmpPixelsCut", GraphicKind::Bitmap, is(cut(bmp, bmp.size() - 4))},
        {"bmpZeroWidth", GraphicKind::Bitmap, is(changed(bmp, 18, {0, 0, 0, 0}))},
        {"bmpOddDepth", GraphicKind::Bitmap, is(changed(bmp, 28, {7}))},
        {"bmpBeyondLimits", GraphicKind::Bitmap, is(changed(bmp, 18, {0x80, 0x84, 0x1E, 0}))},
        {"pngSignature", GraphicKind::Png, is(changed(png, 1, {'Q'}))},
        {"pngCut", GraphicKind::Png, is(cut(png, 20))},
        {"pngZeroWidth", GraphicKind::Png, is(changed(png, 16, {0, 0, 0, 0}))},
        {"pngBadDepth", GraphicKind::Png, is(changed(png, 24, {3}))},
        {"pngBeyondLimits", GraphicKind::Png, is(changed(png, 16, {0, 0x0F, 0x42, 0x41}))},
        {"jpegNoStart", GraphicKind::Jpeg, is(changed(jpeg, 1, {0xD9}))},
        {"jpegCutBeforeFrame", GraphicKind::Jpeg, is(cut(jpeg, jpegMarker(jpeg, 0xC0) + 3))},
        {"jpegCutBeforeScan", GraphicKind::Jpeg, is(cut(jpeg, jpegMarker(jpeg, 0xDA)))},
        {"jpegEndBeforeFrame", GraphicKind::Jpeg,
         is(changed(jpeg, jpegMarker(jpeg, 0xC0), {0xFF, 0xD9}))},
        {"jpegHierarchical", GraphicKind::Jpeg,
         is(changed(jpeg, jpegMarker(jpeg, 0xC0), {0xFF, 0xC5}))},
        {"jpegZeroHeight", GraphicKind::Jpeg,
         is(changed(jpeg, jpegMarker(jpeg, 0xC0) + 5, {0, 0}))},
        {"jpegTwelveBit", GraphicKind::Jpeg, [] { return jpegWithSofByte(4, 12); }},
        {"jpegFrameLength", GraphicKind::Jpeg, [] { return jpegWithSofByte(3, 9); }},
        {"gifSignature", GraphicKind::Gif, is(changed(gif, 0, {'J'}))},
        {"gifScreenCut", GraphicKind::Gif, is(cut(gif, 9))},
        {"gifColourTableCut", GraphicKind::Gif, is(cut(changed(gif, 10, {0xF7}), 13 + 100))},
        {"gifBeyondLimits", GraphicKind::Gif, is(changed(gif, 6, {0xFF, 0xFF, 0xFF, 0xFF}))},
        {"tiffByteOrder", GraphicKind::ImagingComponent, is(changed(tiff, 0, {'X', 'X'}))},
        {"tiffDirectoryBeyondEnd", GraphicKind::ImagingComponent,
         is(changed(tiff, 4, {0xFF, 0xFF, 0xFF, 0x7F}))},
        {"tiffDirectoryCut", GraphicKind::ImagingComponent, is(cut(tiff, tiffDirectory + 20))},
        {"tiffEmptyDirectory", GraphicKind::ImagingComponent,
         is(changed(tiff, tiffDirectory, {0, 0}))},
        {"bigTiffOffsetSize", GraphicKind::ImagingComponent,
         [] { return changed(libtiffFile(picture(), "w8"), 4, {4}); }},
        {"iconReserved", GraphicKind::Icon, is(changed(ico, 0, {1}))},
        {"iconType", GraphicKind::Icon, is(changed(ico, 2, {3}))},
        {"iconNoImages", GraphicKind::Icon, is(changed(ico, 4, {0}))},
        {"iconDirectoryCut", GraphicKind::Icon, is(cut(ico, 12))},
        {"iconImageBeyondEnd", GraphicKind::Icon, is(changed(ico, 18, {0xFF, 0xFF, 0xFF, 0}))},
        // The stored bitmap's header says 5000 x 5000 (10000 rows with the mask).
        {"iconImageBeyondLimits", GraphicKind::Icon,
         is(changed(ico, 22 + 4, {0x88, 0x13, 0, 0, 0x10, 0x27, 0, 0}))},
        {"emfCut", GraphicKind::Metafile, is(cut(emf, 60))},
        {"emfLengthBeyondFile", GraphicKind::Metafile, is(changed(emf, 48, {0xFF, 0xFF, 0, 0}))},
        {"emfBeyondLimits", GraphicKind::Metafile, is(changed(emf, 32, {0xFF, 0xFF, 0xFF, 0x0F}))},
        {"wmfVersion", GraphicKind::Metafile, is(changed(plainWmf(5, 5), 4, {0x00, 0x02}))},
        {"wmfWithoutExtent", GraphicKind::Metafile,
         [] { return test::WmfWriter::plain().rectangle(0, 0, 5, 5).bytes(); }},
        {"wmfNoUnits", GraphicKind::Metafile,
         [] {
             return changed(test::WmfWriter::placeable(0, 0, 5, 5, 96).bytes(), 14, {0, 0});
         }},
    };
}

class PeekRefusesDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(PeekRefusesDamage, AsTheDecoderDoes) {
    const test::LinkedMetafilePlayer player;
    const DamageCase& c = GetParam();
    const Bytes file = c.make();
    EXPECT_EQ(peekPictureSize(c.kind, file), std::nullopt);
    EXPECT_ANY_THROW(decodeGraphic(c.kind, file));
}

INSTANTIATE_TEST_SUITE_P(Headers, PeekRefusesDamage, ::testing::ValuesIn(damageCases()),
                         [](const auto& info) { return info.param.name; });

TEST(PeekPictureSize, EmptyFramesPeekAsTheEmptyPicture) {
    const test::LinkedMetafilePlayer player;
    const Bytes emf = test::EmfWriter::withFrame(0, 0, 0, 1270).bytes();
    EXPECT_EQ(peekPictureSize(GraphicKind::Metafile, emf), PictureSize{});
    EXPECT_EQ(decodeGraphic(GraphicKind::Metafile, emf)->width(), 0);
}

// Counts what the peek asks of the file.
struct CountingReader {
    Bytes file;
    int reads = 0;
    std::uint64_t bytes = 0;
    std::uint64_t furthest = 0;

    ReadAt reader() {
        return [this](std::uint64_t offset, std::span<std::uint8_t> into) -> std::size_t {
            ++reads;
            bytes += into.size();
            furthest = std::max<std::uint64_t>(furthest, offset + into.size());
            if (offset >= file.size()) return 0;
            const std::size_t count = std::min<std::uint64_t>(into.size(), file.size() - offset);
            std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), count, into.begin());
            return count;
        };
    }
};

struct LargeFileCase {
    std::string name;
    GraphicKind kind;
    std::function<Bytes()> make;
};

void PrintTo(const LargeFileCase& c, std::ostream* out) {
    *out << c.name;
}

class PeekReadsLittle : public ::testing::TestWithParam<LargeFileCase> {};

TEST_P(PeekReadsLittle, AHandfulOfSmallReads) {
    CountingReader counting{GetParam().make()};
    const std::optional<PictureSize> size =
        peekPictureSize(GetParam().kind, counting.reader(), counting.file.size());
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 600);
    EXPECT_EQ(size->height, 400);
    EXPECT_LE(counting.reads, 8);
    EXPECT_LE(counting.bytes, 8192u);
    EXPECT_LE(counting.furthest, counting.file.size());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PeekReadsLittle,
    ::testing::Values(LargeFileCase{"tiff", GraphicKind::ImagingComponent,
                                    [] { return encodeTiff(test::photoLike(600, 400)); }},
                      LargeFileCase{"jpeg", GraphicKind::Jpeg,
                                    [] { return encodeJpeg(test::photoLike(600, 400), 80); }},
                      LargeFileCase{"png", GraphicKind::Png,
                                    [] { return encodePng(test::solid(600, 400, {})); }},
                      LargeFileCase{"bmp", GraphicKind::Bitmap,
                                    [] { return encodeBmp(test::solid(600, 400, {})); }}),
    [](const auto& info) { return info.param.name; });

TEST(PeekPictureSize, AFailingReaderGivesNothing) {
    const Bytes tiff = encodeTiff(picture());
    // Reads that come back short, as from a file cut while it is read.
    const ReadAt shortReads = [&](std::uint64_t offset, std::span<std::uint8_t> into) {
        const std::size_t count = into.size() / 2;
        std::copy_n(tiff.begin() + static_cast<std::ptrdiff_t>(offset), count, into.begin());
        return count;
    };
    for (GraphicKind kind : {GraphicKind::ImagingComponent, GraphicKind::Jpeg, GraphicKind::Icon,
                             GraphicKind::Metafile}) {
        EXPECT_EQ(peekPictureSize(kind, shortReads, tiff.size()), std::nullopt);
    }
}

}  // namespace

}  // namespace quillmere
