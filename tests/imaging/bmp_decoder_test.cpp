#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/codecs/bmp_decoder.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/fixtures/bmp_fixtures.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/imaging_messages.h"
#include "support/picture_files.h"

namespace quillmere::test {
namespace {

TEST(BmpDecoding, EncoderOutputDecodesBackExactly) {
    // Widths whose rows need 0, 1, 2 and 3 bytes of padding.
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{1, 1}, {4, 3}, {37, 23}, {2, 5}, {203, 3}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const Bitmap24 source = photoLike(width, height, 8);
        EXPECT_TRUE(bitmapsMatch(decodeBmp(encodeBmp(source)), source));
    }
}

TEST(BmpDecoding, AlphaOfA32BitBitmapIsIgnored) {
    // Colour channels come out as stored, whatever the fourth byte says,
    // even where it would make the pixel fully transparent.
    std::vector<Rgba> pixels;
    std::vector<Rgb> expected;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const Rgba p{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60),
                         static_cast<std::uint8_t>(200 - x * 10),
                         static_cast<std::uint8_t>((x + y) % 3 == 0 ? 0 : (x * 50 + y) % 256)};
            pixels.push_back(p);
            expected.push_back({p.r, p.g, p.b});
        }
    }
    const Bitmap24 want = bitmapOf(7, 5, expected);
    const std::vector<std::pair<std::string, BmpHeader>> headers = {
        {"40-byte header", BmpHeader::Info40},
        {"V4 header with alpha mask", BmpHeader::V4},
        {"V5 header with alpha mask", BmpHeader::V5},
    };
    for (const auto& [name, header] : headers) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(name + (topDown ? ", top-down" : ", bottom-up"));
            EXPECT_TRUE(bitmapsMatch(decodeBmp(makeBmp32(7, 5, pixels, header, topDown)), want));
        }
    }
}

TEST(BmpDecoding, FullyTransparentBitmapKeepsItsColours) {
    const std::vector<Rgba> pixels(12, Rgba{20, 40, 60, 0});
    EXPECT_TRUE(allPixelsAre(decodeBmp(makeBmp32(4, 3, pixels, BmpHeader::V5)), Rgb{20, 40, 60}));
}

TEST(BmpErrors, DataThatIsNoBitmapIsAnInvalidBitmapImage) {
    const std::vector<std::uint8_t> good = encodeBmp(photoLike(9, 4, 1));
    const std::string text = "This is a text file, not a picture.\n";
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"empty", {}},
        {"text", {text.begin(), text.end()}},
        {"BM only", {'B', 'M'}},
        {"file header only", {good.begin(), good.begin() + 14}},
        {"PNG signature", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const LoadFailure failure = failureOf([&bytes] { decodeBmp(bytes); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::bitmapNotValid().toStdString());
    }
}

}  // namespace
}  // namespace quillmere::test

namespace quillmere::test {
namespace {

TEST(BmpErrors, AFileTooShortForItsPixelsIsAnInvalidBitmapImage) {
    const std::vector<std::uint8_t> rgb = encodeBmp(photoLike(9, 4, 2));  // rows of 27 + 1 bytes
    std::vector<std::uint8_t> indices(10 * 3, 7);
    const std::vector<std::uint8_t> grey = makeBmp8(10, 3, indices);  // rows of 10 + 2 bytes
    // A 58-byte file declaring 786433 x 255 pixels at 24 bits.
    std::vector<std::uint8_t> declared = encodeBmp(photoLike(1, 1, 1));
    declared[18] = 0x01;
    declared[19] = 0x00;
    declared[20] = 0x0C;
    declared[22] = 0xFF;
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"24-bit without its last row", {rgb.begin(), rgb.end() - 28}},
        {"24-bit without the last row's padding", {rgb.begin(), rgb.end() - 1}},
        {"8-bit without its last row", {grey.begin(), grey.end() - 12}},
        {"a few bytes declaring 200 megapixels", declared},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const LoadFailure failure = failureOf([&bytes] { decodeBmp(bytes); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::bitmapNotValid().toStdString());
    }
}

TEST(BmpDecoding, PixelsRunLengthDataSkipsHaveColourZero) {
    // 8-bit run-length data: a run of 3 pixels of index 200 on the bottom
    // row, then the end of the bitmap; everything else is skipped.
    std::vector<std::uint8_t> file = makeBmp8(300, 200, {});
    file[30] = 1;  // BI_RLE8
    file.insert(file.end(), {3, 200, 0, 1});
    const Bitmap24 picture = decodeBmp(file);
    ASSERT_EQ(picture.width(), 300);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint8_t* p = picture.row(y) + 3 * x;
            const std::uint8_t want = y == picture.height() - 1 && x < 3 ? 200 : 0;
            ASSERT_EQ(p[0], want) << x << ", " << y;
        }
    }
}

}  // namespace
}  // namespace quillmere::test
