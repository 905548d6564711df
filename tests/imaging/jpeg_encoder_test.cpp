#include "imaging/codecs/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "imaging/fixtures/jpeg_fixtures.h"
#include "support/jpeg_header.h"
#include "support/picture_files.h"

namespace quillmere {
namespace {

// The example tables of the JPEG standard's Annex K, in natural order.
constexpr std::array<unsigned, 64> kLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<unsigned, 64> kChrominance = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

std::array<unsigned, 64> scaledTable(const std::array<unsigned, 64>& base, int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<unsigned, 64> table{};
    for (std::size_t i = 0; i < 64; ++i) {
        const long value = (static_cast<long>(base[i]) * scale + 50) / 100;
        table[i] = static_cast<unsigned>(std::clamp(value, 1L, 255L));
    }
    return table;
}

struct QualityCase {
    int argument;
    int effective;
};

class JpegQualityTest : public ::testing::TestWithParam<QualityCase> {};

TEST_P(JpegQualityTest, WritesTheTablesOfTheEffectiveQuality) {
    const auto [argument, effective] = GetParam();
    EXPECT_EQ(jpegQualityFromArgument(argument), effective);

    const test::JpegHeader header =
        test::readJpegHeader(encodeJpeg(test::photoLike(24, 16), argument));
    EXPECT_EQ(header.luminance, scaledTable(kLuminance, effective));
    EXPECT_EQ(header.chrominance, scaledTable(kChrominance, effective));
}

INSTANTIATE_TEST_SUITE_P(Arguments, JpegQualityTest,
                         ::testing::Values(QualityCase{75, 75}, QualityCase{0, 1},
                                           QualityCase{100, 100}, QualityCase{256, 1},
                                           QualityCase{300, 44}, QualityCase{-1, 100},
                                           QualityCase{90, 90}, QualityCase{-5, 100},
                                           QualityCase{101, 100}, QualityCase{1, 1}));

TEST(JpegEncoder, QualityExtremesGiveTheLimitTables) {
    const test::JpegHeader best = test::readJpegHeader(encodeJpeg(test::photoLike(8, 8), 100));
    EXPECT_TRUE(std::all_of(best.luminance.begin(), best.luminance.end(),
                            [](unsigned v) { return v == 1; }));
    const test::JpegHeader worst = test::readJpegHeader(encodeJpeg(test::photoLike(8, 8), 0));
    EXPECT_TRUE(std::all_of(worst.chrominance.begin(), worst.chrominance.end(),
                            [](unsigned v) { return v == 255; }));
}

TEST(JpegEncoder, WritesABaselineJfifFileWithHalvedChroma) {
    const std::vector<std::uint8_t> file = encodeJpeg(test::photoLike(33, 17), 90);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    const test::JpegHeader header = test::readJpegHeader(file);
    EXPECT_EQ(header.width, 33);
    EXPECT_EQ(header.height, 17);
    EXPECT_TRUE(header.jfif);
    EXPECT_EQ(header.jfifMajor, 1);
    EXPECT_EQ(header.jfifMinor, 1);
    EXPECT_EQ(header.densityUnit, 0);
    EXPECT_EQ(header.xDensity, 1);
    EXPECT_EQ(header.yDensity, 1);
    EXPECT_FALSE(header.progressive);
    EXPECT_FALSE(header.arithmetic);
    EXPECT_EQ(header.components, 3);
    EXPECT_EQ(header.samplingY[0], 2);
    EXPECT_EQ(header.samplingY[1], 2);
    EXPECT_EQ(header.samplingCb[0], 1);
    EXPECT_EQ(header.samplingCb[1], 1);
    EXPECT_EQ(header.samplingCr[0], 1);
    EXPECT_EQ(header.samplingCr[1], 1);
    EXPECT_EQ(header.tableOfCb, 1);
    EXPECT_EQ(header.restartInterval, 0u);
}

TEST(JpegEncoder, UsesTheFloatingPointDct) {
    // The same picture through libjpeg with the integer DCT comes out
    // different; ours must match libjpeg run with the float DCT.
    const Bitmap24 picture = test::photoLike(64, 48);
    const std::vector<std::uint8_t> ours = encodeJpeg(picture, 90);
    EXPECT_EQ(ours, test::makeRgbJpeg(picture, {.quality = 90, .floatDct = true}));
    EXPECT_NE(ours, test::makeRgbJpeg(picture, {.quality = 90, .floatDct = false}));
}

TEST(JpegEncoder, AnEmptyPictureGivesAnEmptyFile) {
    EXPECT_TRUE(encodeJpeg(Bitmap24(), 90).empty());
}

}  // namespace
}  // namespace quillmere
