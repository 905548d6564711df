#include "convert/entry_cost.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "imaging/image_process.h"
#include "imaging/picture_encoding.h"
#include "imaging/picture_file.h"
#include "support/picture_files.h"

namespace quillmere {
namespace {

constexpr std::uint64_t kAllowance = kCodecAllowanceBytes;

struct CostCase {
    std::string name;
    GraphicKind kind;
    std::optional<PictureSize> size;
    std::uint64_t fileSize;
    EncoderKind encoder;
    std::uint64_t expected;
};

void PrintTo(const CostCase& c, std::ostream* out) {
    *out << c.name;
}

class EntryCost : public ::testing::TestWithParam<CostCase> {};

TEST_P(EntryCost, FiguresOfTheCodecs) {
    const CostCase& c = GetParam();
    EXPECT_EQ(entryCostBytes(c.kind, c.size, c.fileSize, c.encoder), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryCost,
    ::testing::Values(
        // Refused at once by its decoder: the file and the allowance.
        CostCase{"unknownSize", GraphicKind::Png, std::nullopt, 5000, EncoderKind::Gif,
                 5000 + kAllowance},
        // 100 x 50 BMP of 15054 bytes: Qt's 32-bit image (20000), its copy
        // (20000) and the RGB888 rows (15000) outweigh RGB888 and bitmap.
        CostCase{"bmpDecoding", GraphicKind::Bitmap, PictureSize{100, 50}, 15054, EncoderKind::Bmp,
                 15054 + 20000 + 20000 + 15000 + kAllowance},
        // 640 x 480 GIF: decoding holds 1000 + 921600 + 640 + 4 x 480;
        // the BMP file (54 + 921600) beside the bitmap is more.
        CostCase{"bmpEncodingOfGif", GraphicKind::Gif, PictureSize{640, 480}, 1000,
                 EncoderKind::Bmp, 921600 + 54 + 921600 + kAllowance},
        // Three 32-bit images of the stored 256 x 256 (786432), then the
        // 32 x 32 ones (4 x 4096) and bitmap (3072).
        CostCase{"iconStoredImage", GraphicKind::Icon, PictureSize{32, 32, 256, 256}, 300000,
                 EncoderKind::Bmp, 300000 + 786432 + 16384 + 3072 + kAllowance},
        // 100 x 100 frame: canvas and a painting copy (40000 each), a mask
        // (10000) and the record bitmaps' bound of 32 x 2000.
        CostCase{"metafile", GraphicKind::Metafile, PictureSize{100, 100}, 2000, EncoderKind::Bmp,
                 2000 + 40000 + 40000 + 10000 + 64000 + kAllowance},
        // Bitmap (2553), coefficients, libjpeg's rows (256 x 37).
        CostCase{"progressiveJpeg", GraphicKind::Jpeg, PictureSize{37, 23, 0, 0, 4608}, 3000,
                 EncoderKind::Bmp, 3000 + 2553 + 4608 + 9472 + kAllowance},
        // Bitmap, the 32-bit picture, a 32-bit row, row pointers and two of
        // libpng's rows.
        CostCase{"interlacedPng", GraphicKind::Png, PictureSize{100, 100, 0, 0, 40000}, 5000,
                 EncoderKind::Bmp, 5000 + 30000 + 40000 + 400 + 800 + 2 * 801 + kAllowance},
        // 1000 x 700 as TIFF: strips of 2 rows (350 strips, 2800 bytes of
        // offsets and counts) fit the reserve of bitmap + 4096, so the file
        // takes 2104096 bytes; libtiff's strip buffer is 8192.
        CostCase{"tiffEncoding", GraphicKind::Gif, PictureSize{1000, 700}, 100, EncoderKind::Tiff,
                 2100000 + 2104096 + 8192 + kAllowance},
        // 100 x 100000 as TIFF: 3704 strips of 27 rows overflow the reserve
        // (30004096) by their 29632 bytes: the file's vector grows to twice
        // that while the old block is held, 90012288 at once.
        CostCase{"tiffEncodingOutgrowsReserve", GraphicKind::Gif, PictureSize{100, 100000}, 100,
                 EncoderKind::Tiff, 30000000 + 90012288 + 8192 + kAllowance},
        // 1000 x 700 as JPEG: the bound 2100000 + 65536 outgrows 2 MiB, so
        // the output doubles from 64 KiB to 4 MiB, 2 + 4 MiB at once, beside
        // the bitmap and 256000 bytes of rows.
        CostCase{"jpegEncoding", GraphicKind::Gif, PictureSize{1000, 700}, 100, EncoderKind::Jpeg,
                 2100000 + 6291456 + 256000 + kAllowance},
        // 1000 x 700 as PNG: 2100700 filtered bytes deflate to at most
        // 2101359 in 33 IDAT chunks, a 2101800-byte file. From 1051024
        // reserved the vector grows to 1970954..2102048, which may still be
        // short, and then to at most 4204096: 6306144 at once, plus
        // deflate's state (409600) and a filtered row (3001).
        CostCase{"pngEncoding", GraphicKind::Gif, PictureSize{1000, 700}, 100, EncoderKind::Png,
                 2100000 + 6306144 + 409600 + 3001 + kAllowance},
        // 1000 x 700 as GIF: the dithering's nearest-colour cells (32768 x
        // 328) and two rows of errors (2 x 3 x 1002 ints) beside the
        // indices (700000) and the bitmap.
        CostCase{"gifEncoding", GraphicKind::Gif, PictureSize{1000, 700}, 100, EncoderKind::Gif,
                 2100000 + 700000 + 10747904 + 24048 + kAllowance},
        // An empty picture encodes to next to nothing: decoding is the cost.
        CostCase{"emptyPicture", GraphicKind::Metafile, PictureSize{}, 700, EncoderKind::Png,
                 700 + kAllowance}),
    [](const auto& info) { return info.param.name; });

TEST(EntryCostPhases, EncodingOfEveryKindGrowsWithThePicture) {
    for (EncoderKind encoder : {EncoderKind::Bmp, EncoderKind::Jpeg, EncoderKind::Png,
                                EncoderKind::Gif, EncoderKind::Tiff}) {
        const std::uint64_t small = encodingPeakBytes(encoder, 200, 100);
        const std::uint64_t large = encodingPeakBytes(encoder, 2000, 1000);
        EXPECT_GT(small, 200u * 100 * 3 + kAllowance) << static_cast<int>(encoder);
        EXPECT_GE(large, 2000u * 1000 * 3 * 2) << static_cast<int>(encoder);
        EXPECT_EQ(encodingPeakBytes(encoder, 0, 0), 0u);
    }
}

Bitmap24 noise(int width, int height) {
    std::mt19937 random(7);
    Bitmap24 bitmap = Bitmap24::uninitialised(width, height);
    for (std::size_t i = 0; i < bitmap.byteCount(); ++i) {
        bitmap.bits()[i] = static_cast<std::uint8_t>(random());
    }
    return bitmap;
}

struct RealCase {
    std::string name;
    GraphicKind kind;
    EncoderKind sourceEncoder;  // how the source file is written
    EncoderKind encoder;
};

void PrintTo(const RealCase& c, std::ostream* out) {
    *out << c.name;
}

class EntryCostOfARealConversion : public ::testing::TestWithParam<RealCase> {};

// A 360 x 300 picture of noise (the largest files every encoder makes) is
// written, peeked, decoded and encoded again. (Below 128K pixels Qt
// converts a bitmap on the calling thread: its thread pool, which is not
// built with ThreadSanitizer, would give false reports there.) The estimate, without its
// allowance, is at least what the conversion's own buffers hold at once:
// the file and the bitmap, then the bitmap and the finished file's vector
// (and, for GIF, the palette indices beside them).
TEST_P(EntryCostOfARealConversion, CoversItsBuffers) {
    const RealCase& c = GetParam();
    const Bitmap24 source = noise(360, 300);
    const std::vector<std::uint8_t> file = encodePicture(source, c.sourceEncoder, 100);
    const std::optional<PictureSize> size = peekPictureSize(c.kind, file);
    ASSERT_TRUE(size.has_value());

    std::unique_ptr<Graphic> graphic = decodeGraphic(c.kind, file);
    const Bitmap24 bitmap = normaliseGraphic(*graphic);
    graphic.reset();
    const std::vector<std::uint8_t> encoded = encodePicture(bitmap, c.encoder, 100);
    const std::uint64_t indices = c.encoder == EncoderKind::Gif ? bitmap.byteCount() / 3 : 0;

    const std::uint64_t decoding = decodingPeakBytes(c.kind, size, file.size()) - kAllowance;
    const std::uint64_t encodingPeak = encodingPeakBytes(c.encoder, size->width, size->height);
    EXPECT_GE(decoding, file.size() + bitmap.byteCount());
    EXPECT_GE(encodingPeak - kAllowance, bitmap.byteCount() + encoded.capacity() + indices);
    EXPECT_EQ(entryCostBytes(c.kind, size, file.size(), c.encoder),
              std::max(decoding + kAllowance, encodingPeak));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, EntryCostOfARealConversion,
    ::testing::Values(RealCase{"bmpToPng", GraphicKind::Bitmap, EncoderKind::Bmp, EncoderKind::Png},
                      RealCase{"pngToJpeg", GraphicKind::Png, EncoderKind::Png, EncoderKind::Jpeg},
                      RealCase{"jpegToGif", GraphicKind::Jpeg, EncoderKind::Jpeg, EncoderKind::Gif},
                      RealCase{"gifToTiff", GraphicKind::Gif, EncoderKind::Gif, EncoderKind::Tiff},
                      RealCase{"tiffToBmp", GraphicKind::ImagingComponent, EncoderKind::Tiff,
                               EncoderKind::Bmp},
                      RealCase{"pngToPng", GraphicKind::Png, EncoderKind::Png, EncoderKind::Png}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quillmere
