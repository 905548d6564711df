#include "imaging/codecs/bmp_encoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillmere {
namespace {

std::uint32_t little32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t little16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(BmpEncoder, OneWhitePixelIsA58ByteFile) {
    const std::vector<std::uint8_t> file = encodeBmp(Bitmap24(1, 1));
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 58,  0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                     // file header
        40,  0,   0,   0, 1, 0, 0, 0, 1, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // size, planes, bits
        4,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,  // image size, rest 0
        255, 255, 255, 0};
    EXPECT_EQ(file, expected);
}

TEST(BmpEncoder, RowsArePaddedBottomUpAndBlueFirst) {
    Bitmap24 picture(3, 2);
    picture.setPixel(0, 0, {1, 2, 3});
    picture.setPixel(1, 0, {4, 5, 6});
    picture.setPixel(2, 0, {7, 8, 9});
    picture.setPixel(0, 1, {10, 11, 12});
    const std::vector<std::uint8_t> file = encodeBmp(picture);

    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(little32(file, 2), 54u + 24);
    EXPECT_EQ(little32(file, 18), 3u);
    EXPECT_EQ(little32(file, 22), 2u);
    EXPECT_EQ(little16(file, 28), 24);
    EXPECT_EQ(little32(file, 34), 24u);

    const std::vector<std::uint8_t> bottomRow(file.begin() + 54, file.begin() + 66);
    const std::vector<std::uint8_t> topRow(file.begin() + 66, file.end());
    EXPECT_EQ(bottomRow,
              (std::vector<std::uint8_t>{12, 11, 10, 255, 255, 255, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(topRow, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
}

TEST(BmpEncoder, RowSizeIsRoundedUpToFourBytes) {
    const struct {
        int width;
        std::size_t rowBytes;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {7, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const std::vector<std::uint8_t> file = encodeBmp(Bitmap24(c.width, 3));
        EXPECT_EQ(file.size(), 54 + 3 * c.rowBytes);
        EXPECT_EQ(little32(file, 34), 3 * c.rowBytes);
    }
}

TEST(BmpEncoder, AnEmptyPictureGivesAnEmptyFile) {
    EXPECT_TRUE(encodeBmp(Bitmap24()).empty());
    EXPECT_TRUE(encodeBmp(Bitmap24(0, 5)).empty());
}

}  // namespace
}  // namespace quillmere
