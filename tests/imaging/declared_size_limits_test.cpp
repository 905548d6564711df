#include <gtest/gtest.h>
#include <unistd.h>

#include <QImageReader>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "imaging/codecs/bmp_decoder.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/gif_decoder.h"
#include "imaging/codecs/ico_decoder.h"
#include "imaging/codecs/jpeg_decoder.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/codecs/png_decoder.h"
#include "imaging/codecs/tiff_decoder.h"
#include "imaging/file_access.h"
#include "imaging/fixtures/bmp_fixtures.h"
#include "imaging/fixtures/gif_fixtures.h"
#include "imaging/fixtures/icon_fixtures.h"
#include "imaging/fixtures/jpeg_fixtures.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/fixtures/png_fixtures.h"
#include "imaging/fixtures/qt_allocation_limit.h"
#include "imaging/fixtures/tiff_fixtures.h"
#include "imaging/imaging_messages.h"
#include "support/little_endian.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Decoder = std::function<Bitmap24(std::span<const std::uint8_t>)>;

// Sets a tag of a little-endian TIFF's first directory to one LONG value.
void setTiffTag(Bytes& file, unsigned tag, std::uint32_t value) {
    ASSERT_EQ(file.at(0), 'I');
    const std::size_t directory = file[4] | (file[5] << 8) | (file[6] << 16) | (file[7] << 24);
    const unsigned count = file.at(directory) | (file.at(directory + 1) << 8);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (static_cast<unsigned>(file.at(entry) | (file.at(entry + 1) << 8)) != tag) continue;
        setLittle16(file, entry + 2, 4);  // LONG
        setLittle32(file, entry + 4, 1);
        setLittle32(file, entry + 8, value);
        return;
    }
    FAIL() << "no tag " << tag;
}

// Sets a 4-byte big-endian field of the PNG's IHDR, keeping its CRC right.
void setPngHeaderField(Bytes& file, std::size_t dataOffset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        setPngChunkByte(file, "IHDR", dataOffset + i,
                        static_cast<std::uint8_t>(value >> (8 * (3 - i))), true);
    }
}

Bytes rgbTiff(int width, int height, bool tiled) {
    TiffPage page;
    page.width = width;
    page.height = height;
    page.tiled = tiled;
    page.samples.assign(static_cast<std::size_t>(width) * height * 3, 128);
    return makeTiff({page});
}

// An icon file holding one PNG image.
Bytes pngIcon(const Bytes& png) {
    Bytes file = {0, 0, 1, 0, 1, 0};
    const Bytes entry = {0, 0, 0, 0, 1, 0, 32, 0};
    file.insert(file.end(), entry.begin(), entry.end());
    file.resize(file.size() + 8);
    setLittle32(file, 14, static_cast<std::uint32_t>(png.size()));
    setLittle32(file, 18, 22);
    file.insert(file.end(), png.begin(), png.end());
    return file;
}

struct OversizedCase {
    std::string name;
    Bytes file;
    Decoder decode;
    long long width;
    long long height;
};

std::vector<OversizedCase> oversizedCases() {
    std::vector<OversizedCase> cases;
    cases.push_back({"BMP 8-bit 50000 x 50000 stored top-down", makeBmp8(50000, 50000, {}, true),
                     decodeBmp, 50000, 50000});
    cases.push_back({"BMP 8-bit 50000 x 50000 stored bottom-up", makeBmp8(50000, 50000, {}),
                     decodeBmp, 50000, 50000});
    {
        Bytes later = makeBmp8(50000, 50000, {});
        setLittle32(later, 14, 1792);  // a header larger than any known one
        cases.push_back({"BMP with a header of a later kind", later, decodeBmp, 50000, 50000});
    }
    cases.push_back({"BMP width of the lowest 32-bit value", makeBmp8(INT_MIN, 1, {}), decodeBmp,
                     2147483648LL, 1});
    {
        // The 12-byte core header's 16-bit fields.
        const Bytes core = {'B', 'M', 0, 0, 0, 0,    0,    0,    0,    0, 26, 0,  0,
                            0,   12,  0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0,  24, 0};
        cases.push_back({"BMP core header 65535 x 65535", core, decodeBmp, 65535, 65535});
    }
    {
        Bytes gif =
            makeGif({4, 4, {{0, 0, 0}, {255, 255, 255}}, 0, false, {solidFrame(0, 0, 4, 4, 1)}});
        setLittle16(gif, 6, 65535);
        setLittle16(gif, 8, 65535);
        cases.push_back({"GIF screen 65535 x 65535", gif, decodeGif, 65535, 65535});
    }
    {
        Bytes jpeg = makeGreyJpeg(8, 8, Bytes(64, 100), 90);
        for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
            if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
                setBig16(jpeg, i + 5, 65000);
                setBig16(jpeg, i + 7, 65000);
                break;
            }
        }
        cases.push_back({"JPEG 65000 x 65000", jpeg, decodeJpeg, 65000, 65000});
    }
    {
        Bytes png = makeRgbPng(photoLike(3, 2));
        setPngHeaderField(png, 0, 30000);
        setPngHeaderField(png, 4, 30000);
        cases.push_back({"PNG 30000 x 30000", png, decodePng, 30000, 30000});
    }
    {
        Bytes tiff = rgbTiff(4, 4, false);
        setTiffTag(tiff, TIFFTAG_IMAGEWIDTH, 30000);
        setTiffTag(tiff, TIFFTAG_IMAGELENGTH, 30000);
        cases.push_back({"TIFF 30000 x 30000", tiff, decodeTiff, 30000, 30000});
    }
    {
        // The bitmap header's height counts the AND mask's rows too.
        Bytes icon = makeIcon({solidIconImage(32, 32, 32, Rgba{1, 2, 3, 255})});
        setLittle32(icon, 22 + 4, 5000);
        setLittle32(icon, 22 + 8, 10000);
        cases.push_back({"icon bitmap 5000 x 5000", icon, decodeIcon, 5000, 5000});
    }
    {
        Bytes png = makeRgbPng(photoLike(3, 2));
        setPngHeaderField(png, 0, 30000);
        setPngHeaderField(png, 4, 30000);
        cases.push_back({"icon PNG 30000 x 30000", pngIcon(png), decodeIcon, 30000, 30000});
    }
    {
        Bytes png = makeRgbPng(photoLike(4097, 1));
        cases.push_back(
            {"icon PNG one pixel wider than an icon may be", pngIcon(png), decodeIcon, 4097, 1});
    }
    return cases;
}

TEST(DeclaredSizeLimits, EveryDecoderRefusesASizeBeyondTheLimitsWithOneMessage) {
    for (const OversizedCase& c : oversizedCases()) {
        SCOPED_TRACE(c.name);
        const LoadFailure failure = failureOf([&c] { c.decode(c.file); });
        EXPECT_TRUE(failure.appError) << failure;
        EXPECT_EQ(failure.message,
                  imaging_messages::pictureTooLarge(c.width, c.height).toStdString());
    }
}

TEST(DeclaredSizeLimits, BitmapsBeyondQtsOwnAllocationLimitStillLoad) {
    // With Qt's limit at 1 MB, each of these needs more than it as Qt's
    // image (4 bytes a pixel, or 1 for 8-bit): they load because the
    // decoder gives Qt an image of the right size to fill.
    const QtAllocationLimit limit(1);
    const Bitmap24 photo = photoLike(700, 500, 3);
    std::vector<Rgba> rgba;
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            const std::uint8_t* p = photo.row(y) + 3 * x;
            rgba.push_back({p[0], p[1], p[2], 255});
        }
    }
    Bytes indices(1200 * 1000);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<Rgb> greys;
    for (const std::uint8_t index : indices) greys.push_back({index, index, index});
    const Bitmap24 greyPicture = bitmapOf(1200, 1000, greys);

    const std::vector<std::tuple<std::string, Bytes, const Bitmap24*>> cases = {
        {"24-bit", encodeBmp(photo), &photo},
        {"32-bit V5 top-down", makeBmp32(700, 500, rgba, BmpHeader::V5, true), &photo},
        {"8-bit bottom-up", makeBmp8(1200, 1000, indices), &greyPicture},
        {"8-bit top-down", makeBmp8(1200, 1000, indices, true), &greyPicture},
    };
    for (const auto& [name, file, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(bitmapsMatch(decodeBmp(file), *expected));
    }
}

TEST(DeclaredSizeLimits, DecodingLeavesQtsAllocationLimitAsItWas) {
    const int before = QImageReader::allocationLimit();
    decodeBmp(encodeBmp(photoLike(5, 4)));
    decodeIcon(makeIcon({solidIconImage(48, 48, 32, Rgba{9, 8, 7, 255})}));
    EXPECT_EQ(QImageReader::allocationLimit(), before);
}

TEST(DeclaredSizeLimits, AnIconImageAtTheIconLimitLoads) {
    const Bitmap24 picture = decodeIcon(pngIcon(makeRgbPng(photoLike(4096, 1))));
    EXPECT_EQ(picture.width(), kStandardIconSize);
    EXPECT_EQ(picture.height(), kStandardIconSize);
}

TEST(DeclaredSizeLimits, TiffTilesBeyondTheCodecBufferLimitAreRefused) {
    // A 16 x 16 picture in one tile declared 65536 pixels a side: libtiff
    // would take 12 GB for the tile.
    Bytes tiff = rgbTiff(16, 16, true);
    setTiffTag(tiff, TIFFTAG_TILEWIDTH, 65536);
    setTiffTag(tiff, TIFFTAG_TILELENGTH, 65536);
    const LoadFailure failure = failureOf([&tiff] { decodeTiff(tiff); });
    EXPECT_TRUE(failure.invalidPicture) << failure;
    EXPECT_EQ(failure.message, imaging_messages::invalidStreamFormat().toStdString());
}

TEST(DeclaredSizeLimits, AFileBeyondTheLargestPictureIsNotRead) {
    const Sandbox sandbox;
    const QString path = sandbox.write(QStringLiteral("huge.bmp"), Bytes{'B', 'M'});
    // A sparse file: nothing is written, and nothing must be read either.
    const auto size = static_cast<off_t>(picture_limits::kMaxFileBytes + 1);
    ASSERT_EQ(::truncate(path.toLocal8Bit().constData(), size), 0);
    const LoadFailure failure = failureOf([&path] { readWholeFile(path); });
    EXPECT_TRUE(failure.invalidPicture) << failure;
    EXPECT_EQ(
        failure.message,
        imaging_messages::pictureFileTooLarge(picture_limits::kMaxFileBytes + 1).toStdString());
}

}  // namespace
}  // namespace quillmere::test
