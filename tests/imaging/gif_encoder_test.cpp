#include "imaging/codecs/gif_encoder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <functional>
#include <set>
#include <tuple>

#include "imaging/codecs/floyd_steinberg.h"
#include "imaging/codecs/gif_lzw_encoder.h"
#include "imaging/codecs/nearest_colour.h"
#include "imaging/codecs/octree_quantizer.h"
#include "support/little_endian.h"
#include "support/picture_files.h"

namespace quillmere {
namespace {

// What giflib reads back from a GIF file.
struct DecodedGif {
    int screenWidth = 0, screenHeight = 0;
    bool hasGlobalTable = false;
    int imageCount = 0;
    bool interlaced = true;
    std::vector<Rgb> localTable;
    std::vector<std::uint8_t> indices;
};

DecodedGif decodeWithGiflib(const std::vector<std::uint8_t>& file) {
    struct Source {
        const std::vector<std::uint8_t>* bytes;
        std::size_t at = 0;
    } source{&file};
    const auto read = [](GifFileType* gif, GifByteType* out, int length) {
        auto* s = static_cast<Source*>(gif->UserData);
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(length), s->bytes->size() - s->at);
        std::memcpy(out, s->bytes->data() + s->at, n);
        s->at += n;
        return static_cast<int>(n);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    EXPECT_NE(gif, nullptr);
    DecodedGif decoded;
    if (!gif) return decoded;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    decoded.screenWidth = gif->SWidth;
    decoded.screenHeight = gif->SHeight;
    decoded.hasGlobalTable = gif->SColorMap != nullptr;
    decoded.imageCount = gif->ImageCount;
    if (gif->ImageCount > 0) {
        const SavedImage& image = gif->SavedImages[0];
        decoded.interlaced = image.ImageDesc.Interlace;
        if (image.ImageDesc.ColorMap) {
            for (int i = 0; i < image.ImageDesc.ColorMap->ColorCount; ++i) {
                const GifColorType& c = image.ImageDesc.ColorMap->Colors[i];
                decoded.localTable.push_back({c.Red, c.Green, c.Blue});
            }
        }
        const std::size_t count = static_cast<std::size_t>(image.ImageDesc.Width) *
                                  static_cast<std::size_t>(image.ImageDesc.Height);
        decoded.indices.assign(image.RasterBits, image.RasterBits + count);
    }
    DGifCloseFile(gif, nullptr);
    return decoded;
}

QImage decodeWithQt(const std::vector<std::uint8_t>& file) {
    QByteArray data(reinterpret_cast<const char*>(file.data()),
                    static_cast<qsizetype>(file.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_RGB888);
}

// A one-image GIF around a code stream of our LZW coder, with a grey
// ramp for its table.
std::vector<std::uint8_t> gifAroundIndices(const std::vector<std::uint8_t>& indices, int width,
                                           int height) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '7', 'a'};
    test::appendLittle16(out, static_cast<std::uint32_t>(width));
    test::appendLittle16(out, static_cast<std::uint32_t>(height));
    out.insert(out.end(), {0x77, 0, 0, 0x2C, 0, 0, 0, 0});
    test::appendLittle16(out, static_cast<std::uint32_t>(width));
    test::appendLittle16(out, static_cast<std::uint32_t>(height));
    out.push_back(0x87);
    for (int i = 0; i < 256; ++i) out.insert(out.end(), 3, static_cast<std::uint8_t>(i));
    out.push_back(8);
    const std::vector<std::uint8_t> codes = encodeGifLzw(indices);
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), codes.begin() + static_cast<long>(at),
                   codes.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

TEST(GifEncoder, GiflibReadsBackTheReducedPictureExactly) {
    const Bitmap24 picture = test::photoLike(173, 91, 4);
    const ReducedPicture reduced = reduceColours(picture);
    const DecodedGif decoded = decodeWithGiflib(encodeGif(picture));

    EXPECT_EQ(decoded.screenWidth, 173);
    EXPECT_EQ(decoded.screenHeight, 91);
    EXPECT_FALSE(decoded.hasGlobalTable);
    EXPECT_EQ(decoded.imageCount, 1);
    EXPECT_FALSE(decoded.interlaced);
    EXPECT_EQ(decoded.localTable, std::vector<Rgb>(reduced.palette.begin(), reduced.palette.end()));
    EXPECT_EQ(decoded.indices, reduced.indices);
}

TEST(GifEncoder, QtShowsTheSamePixelsAsGiflib) {
    const Bitmap24 picture = test::photoLike(120, 77, 8);
    const ReducedPicture reduced = reduceColours(picture);
    const QImage image = decodeWithQt(encodeGif(picture));
    ASSERT_EQ(image.width(), 120);
    ASSERT_EQ(image.height(), 77);
    for (int y = 0; y < 77; ++y) {
        for (int x = 0; x < 120; ++x) {
            const Rgb expected =
                reduced.palette[reduced.indices[static_cast<std::size_t>(y * 120 + x)]];
            const QRgb got = image.pixel(x, y);
            ASSERT_EQ(
                (Rgb{static_cast<std::uint8_t>(qRed(got)), static_cast<std::uint8_t>(qGreen(got)),
                     static_cast<std::uint8_t>(qBlue(got))}),
                expected)
                << x << "," << y;
        }
    }
}

TEST(GifEncoder, OneColourGivesEntryZeroEverywhere) {
    const ReducedPicture reduced = reduceColours(test::solid(9, 5, {12, 200, 99}));
    EXPECT_EQ(reduced.realColours, 1);
    for (const Rgb& entry : reduced.palette) EXPECT_EQ(entry, (Rgb{12, 200, 99}));
    EXPECT_EQ(reduced.indices, std::vector<std::uint8_t>(45, 0));
}

TEST(GifEncoder, WritesTheFileLayout) {
    const std::vector<std::uint8_t> file = encodeGif(test::photoLike(300, 2));
    const std::vector<std::uint8_t> head(file.begin(), file.begin() + 23);
    const std::vector<std::uint8_t> expected = {'G', 'I', 'F',  '8',  '7', 'a',  0x2C, 0x01,
                                                2,   0,   0x77, 0,    0,   0x2C, 0,    0,
                                                0,   0,   0x2C, 0x01, 2,   0,    0x87};
    EXPECT_EQ(head, expected);
    ASSERT_GT(file.size(), 23u + 768 + 3);
    EXPECT_EQ(file[23 + 768], 8) << "LZW minimum code size";
    EXPECT_EQ(file.back(), 0x3B);

    // Sub-blocks: every one but the last holds 255 bytes, then a zero block.
    std::size_t at = 23 + 768 + 1;
    std::vector<std::size_t> lengths;
    while (at < file.size() && file[at] != 0) {
        lengths.push_back(file[at]);
        at += 1 + file[at];
    }
    ASSERT_FALSE(lengths.empty());
    for (std::size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(lengths[i], 255u);
    EXPECT_EQ(at, file.size() - 2) << "the zero block and the trailer end the file";
}

TEST(GifEncoder, AnEmptyPictureIsAFourteenByteFile) {
    const std::vector<std::uint8_t> expected = {'G', 'I', 'F', '8',  '7', 'a', 0,
                                                0,   0,   0,   0x77, 0,   0,   0x3B};
    EXPECT_EQ(encodeGif(Bitmap24()), expected);
}

TEST(OctreeQuantizer, ColoursDifferingInTheLowTwoBitsShareAnAveragedEntry) {
    OctreeQuantizer quantizer;
    quantizer.addPixel(0, 0, 0);
    quantizer.addPixel(3, 2, 1);
    quantizer.addPixel(0, 2, 3);
    quantizer.addPixel(100, 100, 100);
    const std::vector<Rgb> palette = quantizer.palette();
    EXPECT_EQ(palette, (std::vector<Rgb>{{1, 1, 1}, {100, 100, 100}}));
}

TEST(OctreeQuantizer, PaletteIsReadDepthFirstInChildOrder) {
    OctreeQuantizer quantizer;
    // Added in reverse of the order the tree holds them.
    for (const Rgb& c :
         {Rgb{255, 255, 255}, Rgb{0, 0, 255}, Rgb{0, 255, 0}, Rgb{128, 0, 0}, Rgb{0, 0, 0}}) {
        quantizer.addPixel(c.r, c.g, c.b);
    }
    EXPECT_EQ(
        quantizer.palette(),
        (std::vector<Rgb>{{0, 0, 0}, {0, 0, 255}, {0, 255, 0}, {128, 0, 0}, {255, 255, 255}}));
}

TEST(OctreeQuantizer, NeverKeepsMoreThan256Leaves) {
    OctreeQuantizer quantizer;
    std::set<std::tuple<int, int, int>> distinct;
    unsigned state = 5;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        const auto r = static_cast<std::uint8_t>(state >> 24);
        const auto g = static_cast<std::uint8_t>(state >> 16);
        const auto b = static_cast<std::uint8_t>(state >> 8);
        distinct.insert({r, g, b});
        quantizer.addPixel(r, g, b);
        ASSERT_LE(quantizer.leafCount(), 256);
    }
    ASSERT_GT(distinct.size(), 256u);
    EXPECT_GT(quantizer.leafCount(), 64);
    EXPECT_EQ(quantizer.palette().size(), static_cast<std::size_t>(quantizer.leafCount()));
}

TEST(OctreeQuantizer, FoldsTheNewestInnerNodeOfTheDeepestLevel) {
    OctreeQuantizer quantizer;
    // 256 leaves that share every inner node down to level 2, then one
    // colour that opens a new branch at level 2 and brings a 257th leaf.
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            quantizer.addPixel(static_cast<std::uint8_t>(4 * i), static_cast<std::uint8_t>(4 * j),
                               0);
        }
    }
    ASSERT_EQ(quantizer.leafCount(), 256);
    quantizer.addPixel(64, 0, 0);
    // The newest level-5 node holds only the new leaf: folding it changes
    // nothing. The one before it holds the last four grid colours (R and G
    // 56 or 60), which become one leaf of their average: 257 - 3 leaves.
    EXPECT_EQ(quantizer.leafCount(), 254);
    const std::vector<Rgb> palette = quantizer.palette();
    EXPECT_NE(std::find(palette.begin(), palette.end(), Rgb{58, 58, 0}), palette.end());
    EXPECT_EQ(std::find(palette.begin(), palette.end(), Rgb{60, 60, 0}), palette.end());
    EXPECT_NE(std::find(palette.begin(), palette.end(), Rgb{64, 0, 0}), palette.end());
}

TEST(FloydSteinberg, LimitsErrors) {
    const struct {
        int error, limited;
    } cases[] = {{40, 28}, {60, 32}, {-20, -18}, {10, 10},   {0, 0},     {15, 15},  {16, 16},
                 {17, 16}, {47, 31}, {48, 32},   {-47, -31}, {-48, -32}, {255, 32}, {-255, -32}};
    for (const auto& c : cases) EXPECT_EQ(limitDitherError(c.error), c.limited) << c.error;
}

TEST(FloydSteinberg, SpreadsTheErrorAlongASerpentinePath) {
    // Black and white only; a mid grey dithers to both.
    std::array<Rgb, 256> palette{};
    palette.fill({255, 255, 255});
    palette[0] = {0, 0, 0};
    const std::vector<std::uint8_t> indices =
        ditherToPalette(test::solid(3, 2, {100, 100, 100}), palette);
    // Row 0, left to right:
    //   x=0: 100 -> black, error 100 (700 on; 500 below, 100 below-ahead).
    //   x=1: 100 + (700 + 8) / 16 = 44, limited to 30 -> 130 -> white, error -125.
    //   x=2: 100 + (-875 + 8) / 16 = -54, limited to -32 -> 68 -> black, error 68.
    // Row 1 receives 125, -321 and 215 and runs right to left:
    //   x=2: 100 + (215 + 8) / 16 = 13 -> 113 -> black, error 113 (791 on).
    //   x=1: (791 - 321 + 8) / 16 = 29, limited to 22 -> 122 -> black (854 on).
    //   x=0: (854 + 125 + 8) / 16 = 61, limited to 32 -> 132 -> white.
    EXPECT_EQ(indices, (std::vector<std::uint8_t>{0, 1, 0, 1, 0, 0}));
}

TEST(NearestColour, AgreesWithTheFullScan) {
    const ReducedPicture reduced = reduceColours(test::photoLike(64, 64, 2));
    NearestColour nearest(reduced.palette);
    unsigned state = 99;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        const int r = static_cast<int>(state >> 24), g = static_cast<int>((state >> 16) & 255),
                  b = static_cast<int>((state >> 8) & 255);
        ASSERT_EQ(nearest.find(r, g, b), NearestColour::findByScan(reduced.palette, r, g, b))
            << r << "," << g << "," << b;
    }
}

TEST(NearestColour, GivesTiesToTheLowestIndex) {
    std::array<Rgb, 256> palette{};
    palette.fill({9, 9, 9});
    palette[3] = {10, 0, 0};
    palette[7] = {0, 10, 0};
    NearestColour nearest(palette);
    EXPECT_EQ(nearest.find(5, 5, 0), 3);
    EXPECT_EQ(nearest.find(9, 9, 9), 0);
}

TEST(GifLzw, LongStreamsPassTheCodeLimitAndDecode) {
    const struct {
        const char* name;
        int width, height;
        std::function<std::uint8_t(int)> index;
    } cases[] = {
        {"noise", 400, 300,
         [](int i) { return static_cast<std::uint8_t>((i * 2654435761u) >> 24); }},
        {"one run", 1000, 1000, [](int) { return std::uint8_t{7}; }},
        {"ramps", 640, 480, [](int i) { return static_cast<std::uint8_t>(i % 251); }},
        {"single pixel", 1, 1, [](int) { return std::uint8_t{200}; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(c.width * c.height));
        for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = c.index(static_cast<int>(i));
        const std::vector<std::uint8_t> file = gifAroundIndices(indices, c.width, c.height);

        EXPECT_EQ(decodeWithGiflib(file).indices, indices);
        const QImage image = decodeWithQt(file);
        ASSERT_EQ(image.width(), c.width);
        bool same = true;
        for (int y = 0; y < c.height && same; ++y) {
            for (int x = 0; x < c.width && same; ++x) {
                same =
                    qRed(image.pixel(x, y)) == indices[static_cast<std::size_t>(y * c.width + x)];
            }
        }
        EXPECT_TRUE(same);
    }
}

TEST(GifLzw, StartsWithAClearCodeAndEndsWithTheEndCode) {
    // One pixel: clear (256), the pixel, end (257), 9 bits each.
    const std::vector<std::uint8_t> codes = encodeGifLzw(std::vector<std::uint8_t>{5});
    // 256 | 5 << 9 | 257 << 18, packed from the lowest bit.
    const std::uint32_t packed = 256u | (5u << 9) | (257u << 18);
    EXPECT_EQ(codes, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(packed),
                                                static_cast<std::uint8_t>(packed >> 8),
                                                static_cast<std::uint8_t>(packed >> 16),
                                                static_cast<std::uint8_t>(packed >> 24)}));
}

}  // namespace
}  // namespace quillmere
