#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/codecs/jpeg_decoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "imaging/fixtures/jpeg_fixtures.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/imaging_messages.h"
#include "support/picture_files.h"

#include <jpeglib.h>
// jpeglib.h first: jerror.h needs its types.
#include <jerror.h>

namespace quillmere::test {
namespace {

double meanChannelDifference(const Bitmap24& a, const Bitmap24& b) {
    long long total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (std::size_t i = 0; i < a.stride(); ++i) total += std::abs(a.row(y)[i] - b.row(y)[i]);
    }
    return static_cast<double>(total) / static_cast<double>(a.byteCount());
}

// Smooth colour gradients: what JPEG keeps best, so what must come back
// nearly unchanged at quality 100.
Bitmap24 gradients(int width, int height) {
    Bitmap24 bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.setPixel(
                x, y,
                {static_cast<std::uint8_t>(20 + 200 * x / std::max(1, width - 1)),
                 static_cast<std::uint8_t>(230 - 180 * y / std::max(1, height - 1)),
                 static_cast<std::uint8_t>(60 + 120 * (x + y) / std::max(1, width + height - 2))});
        }
    }
    return bitmap;
}

TEST(JpegDecoding, QualityHundredDecodesCloseToTheSource) {
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{64, 48}, {33, 17}, {1, 1}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const Bitmap24 smooth = gradients(width, height);
        const Bitmap24 decoded = decodeJpeg(encodeJpeg(smooth, 100));
        ASSERT_EQ(decoded.width(), width);
        ASSERT_EQ(decoded.height(), height);
        EXPECT_LE(maxChannelDifference(decoded, smooth), 8);
        EXPECT_LE(meanChannelDifference(decoded, smooth), 1.5);

        // A noisy picture with sharp colour edges loses more to the halved
        // colour resolution, but stays close on average.
        const Bitmap24 photo = photoLike(width, height, 3);
        const Bitmap24 decodedPhoto = decodeJpeg(encodeJpeg(photo, 100));
        ASSERT_EQ(decodedPhoto.width(), width);
        ASSERT_EQ(decodedPhoto.height(), height);
        EXPECT_LE(meanChannelDifference(decodedPhoto, photo), 6.0);
    }
}

TEST(JpegDecoding, SolidColourStaysThatColour) {
    for (const Rgb colour : {Rgb{255, 255, 255}, Rgb{0, 0, 0}, Rgb{200, 40, 90}}) {
        SCOPED_TRACE(::testing::PrintToString(colour));
        EXPECT_TRUE(allPixelsAre(decodeJpeg(encodeJpeg(solid(24, 16, colour), 100)), colour, 2));
    }
}

TEST(JpegDecoding, GreyJpegDecodesToEqualRedGreenAndBlue) {
    const int width = 29;
    const int height = 21;
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            samples.push_back(static_cast<std::uint8_t>((x * 8 + y * 3) % 256));
    }
    const Bitmap24 decoded = decodeJpeg(makeGreyJpeg(width, height, samples, 100));
    ASSERT_EQ(decoded.width(), width);
    ASSERT_EQ(decoded.height(), height);
    int worst = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb p = decoded.pixel(x, y);
            ASSERT_TRUE(p.r == p.g && p.g == p.b)
                << "pixel (" << x << ", " << y << ") is " << ::testing::PrintToString(p);
            worst =
                std::max(worst, std::abs(p.r - samples[static_cast<std::size_t>(y * width + x)]));
        }
    }
    EXPECT_LE(worst, 12);
}

std::vector<std::uint8_t> afterTwoZeroBytes(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> prefixed(bytes.size() + 2, 0);
    std::copy(bytes.begin(), bytes.end(), prefixed.begin() + 2);
    return prefixed;
}

TEST(JpegErrors, DecodingErrorsCarryLibjpegsMessageNumber) {
    const std::string text = "This is a text file, not a picture.\n";
    const std::vector<std::uint8_t> good = encodeJpeg(photoLike(16, 16, 2), 90);
    const std::vector<std::uint8_t> pngBytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    struct Row {
        std::string name;
        std::vector<std::uint8_t> bytes;
        int messageNumber;
    };
    const std::vector<Row> rows = {
        {"text", {text.begin(), text.end()}, 53},
        {"empty", {}, 53},
        {"PNG data", pngBytes, 53},
        {"JPEG data after a prefix", afterTwoZeroBytes(good), 53},
        {"start of image only", {0xFF, 0xD8}, JERR_NO_IMAGE},
        {"start then end of image", {0xFF, 0xD8, 0xFF, 0xD9}, JERR_NO_IMAGE},
        {"table length below 2", {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x01}, JERR_BAD_LENGTH},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const LoadFailure failure = failureOf([&row] { decodeJpeg(row.bytes); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, "JPEG error #" + std::to_string(row.messageNumber));
    }
}

}  // namespace
}  // namespace quillmere::test
