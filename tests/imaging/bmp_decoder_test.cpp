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
