#include <gtest/gtest.h>
#include <tiffio.h>

#include <QFile>

#include "imaging/codecs/tiff_decoder.h"
#include "imaging/codecs/tiff_encoder.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

TEST(TiffEncoder, WritesUncompressedEightBitRgbWithoutAlpha) {
    const test::Sandbox sandbox;
    const Bitmap24 picture = test::photoLike(37, 23);
    const QString path = sandbox.write("picture.tiff", encodeTiff(picture));

    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    ASSERT_NE(tiff, nullptr);
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, photometric = 0, compression = 0, extraCount = 0;
    std::uint16_t* extra = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    EXPECT_EQ(width, 37u);
    EXPECT_EQ(height, 23u);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(samples, 3);
    EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(compression, COMPRESSION_NONE);
    EXPECT_EQ(extraCount, 0);
    EXPECT_EQ(TIFFNumberOfDirectories(tiff), 1);

    std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
    ASSERT_EQ(row.size(), picture.stride());
    for (std::uint32_t y = 0; y < height; ++y) {
        ASSERT_EQ(TIFFReadScanline(tiff, row.data(), y, 0), 1);
        EXPECT_TRUE(std::equal(row.begin(), row.end(), picture.row(static_cast<int>(y))));
    }
    TIFFClose(tiff);
}

TEST(TiffEncoder, DecodesBackToTheSamePixels) {
    const Bitmap24 picture = test::photoLike(301, 97, 5);
    EXPECT_EQ(test::maxChannelDifference(decodeTiff(encodeTiff(picture)), picture), 0);
}

TEST(TiffEncoder, AnEmptyPictureGivesAnEmptyFile) {
    EXPECT_TRUE(encodeTiff(Bitmap24()).empty());
}

}  // namespace
}  // namespace quillmere
