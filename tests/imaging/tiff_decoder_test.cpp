#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/codecs/tiff_decoder.h"
#include "imaging/codecs/tiff_encoder.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/fixtures/tiff_fixtures.h"
#include "imaging/imaging_messages.h"
#include "support/picture_files.h"

namespace quillmere::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};

TEST(TiffRoundTrip, EncoderOutputDecodesBackExactly) {
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{1, 1}, {37, 23}, {200, 3}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const Bitmap24 source = photoLike(width, height, 4);
        EXPECT_TRUE(bitmapsMatch(decodeTiff(encodeTiff(source)), source));
    }
}

// An RGB page of the bitmap's pixels in the given layout.
TiffPage rgbPage(const Bitmap24& bitmap) {
    TiffPage page;
    page.width = bitmap.width();
    page.height = bitmap.height();
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* row = bitmap.row(y);
        page.samples.insert(page.samples.end(), row, row + bitmap.stride());
    }
    return page;
}

struct TiffCase {
    std::string name;
    TiffPage page;
    Bitmap24 expected;
    int tolerance = 0;
};

std::vector<TiffCase> rgbLayoutCases() {
    const Bitmap24 source = photoLike(37, 23, 6);
    std::vector<TiffCase> cases;
    const auto add = [&](std::string name, auto change) {
        TiffPage page = rgbPage(source);
        change(page);
        cases.push_back({std::move(name), page, source, 0});
    };
    add("Strips", [](TiffPage&) {});
    add("LzwCompressed", [](TiffPage& p) { p.compression = COMPRESSION_LZW; });
    add("DeflateCompressed", [](TiffPage& p) { p.compression = COMPRESSION_ADOBE_DEFLATE; });
    add("PackBitsCompressed", [](TiffPage& p) { p.compression = COMPRESSION_PACKBITS; });
    // 16 x 16 tiles of 3-byte pixels are 768 bytes, not a multiple of 1024.
    add("TiledUncompressed", [](TiffPage& p) { p.tiled = true; });
    add("TiledLzwCompressed", [](TiffPage& p) {
        p.tiled = true;
        p.compression = COMPRESSION_LZW;
    });
    add("PlanesSeparate", [](TiffPage& p) { p.planarConfig = PLANARCONFIG_SEPARATE; });
    add("BottomUp", [](TiffPage& p) { p.orientation = ORIENTATION_BOTLEFT; });
    add("SixteenBits", [](TiffPage& p) {
        p.bitsPerSample = 16;
        for (unsigned& s : p.samples) s *= 257;
    });
    return cases;
}

std::vector<TiffCase> colourKindCases() {
    std::vector<TiffCase> cases;
    {
        // Straight alpha: each pixel laid over white.
        const std::vector<Rgba> pixels = {{255, 0, 0, 128},   {0, 0, 0, 0},      {10, 20, 30, 255},
                                          {0, 0, 255, 1},     {90, 90, 90, 200}, {0, 0, 0, 128},
                                          {255, 255, 255, 0}, {12, 34, 56, 254}};
        TiffPage page;
        page.width = 4;
        page.height = 2;
        page.samplesPerPixel = 4;
        page.extraSample = EXTRASAMPLE_UNASSALPHA;
        std::vector<Rgb> expected;
        for (const Rgba& p : pixels) {
            page.samples.insert(page.samples.end(), {p.r, p.g, p.b, p.a});
            expected.push_back(overWhite(p));
        }
        cases.push_back({"RgbaUnassociated", page, bitmapOf(4, 2, expected), 1});
        page.bitsPerSample = 16;
        for (unsigned& s : page.samples) s *= 257;
        cases.push_back({"RgbaUnassociated16", page, bitmapOf(4, 2, expected), 1});
    }
    {
        // Premultiplied alpha: the stored colour already carries the alpha.
        const std::vector<Rgba> pixels = {
            {200, 100, 50, 128}, {0, 0, 0, 0}, {10, 20, 30, 255}, {255, 0, 0, 64}};
        TiffPage page;
        page.width = 2;
        page.height = 2;
        page.samplesPerPixel = 4;
        page.extraSample = EXTRASAMPLE_ASSOCALPHA;
        std::vector<Rgb> expected;
        for (const Rgba& p : pixels) {
            const auto premultiplied = [a = unsigned{p.a}](unsigned c) {
                return (c * a + 127) / 255;
            };
            page.samples.insert(page.samples.end(),
                                {premultiplied(p.r), premultiplied(p.g), premultiplied(p.b), p.a});
            expected.push_back(overWhite(p));
        }
        cases.push_back({"RgbaPremultiplied", page, bitmapOf(2, 2, expected), 1});
    }
    const std::vector<unsigned> greys = {0, 37, 128, 255, 1, 254, 200, 99};
    std::vector<Rgb> greyPixels;
    for (unsigned g : greys) {
        greyPixels.push_back({static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g),
                              static_cast<std::uint8_t>(g)});
    }
    {
        TiffPage page;
        page.width = 4;
        page.height = 2;
        page.samplesPerPixel = 1;
        page.photometric = PHOTOMETRIC_MINISBLACK;
        page.samples = greys;
        cases.push_back({"GreyBlackIsZero", page, bitmapOf(4, 2, greyPixels), 0});
        page.bitsPerSample = 16;
        for (unsigned& s : page.samples) s *= 257;
        cases.push_back({"Grey16", page, bitmapOf(4, 2, greyPixels), 0});
    }
    {
        TiffPage page;
        page.width = 4;
        page.height = 2;
        page.samplesPerPixel = 1;
        page.photometric = PHOTOMETRIC_MINISWHITE;
        for (unsigned g : greys) page.samples.push_back(255 - g);
        cases.push_back({"GreyWhiteIsZero", page, bitmapOf(4, 2, greyPixels), 0});
    }
    {
        TiffPage page;
        page.width = 2;
        page.height = 2;
        page.samplesPerPixel = 2;
        page.photometric = PHOTOMETRIC_MINISBLACK;
        page.extraSample = EXTRASAMPLE_UNASSALPHA;
        page.samples = {200, 255, 200, 0, 0, 128, 100, 64};
        const Bitmap24 expected = bitmapOf(
            2, 2, {{200, 200, 200}, kWhite, {127, 127, 127}, overWhite({100, 100, 100, 64})});
        cases.push_back({"GreyAlpha", page, expected, 1});
        page.extraSample = EXTRASAMPLE_ASSOCALPHA;
        page.samples = {200, 255, 0, 0, 0, 128, 25, 64};
        cases.push_back({"GreyAlphaPremultiplied", page, expected, 1});
    }
    {
        const std::vector<Rgb> palette = {{255, 0, 0}, {0, 128, 0}, {0, 0, 255}, {250, 240, 10}};
        TiffPage page;
        page.width = 4;
        page.height = 2;
        page.samplesPerPixel = 1;
        page.bitsPerSample = 8;
        page.photometric = PHOTOMETRIC_PALETTE;
        page.samples = {0, 1, 2, 3, 3, 2, 1, 0};
        page.colourMap.assign(3 * 256, 0);
        for (std::size_t i = 0; i < palette.size(); ++i) {
            page.colourMap[i] = static_cast<std::uint16_t>(palette[i].r * 257);
            page.colourMap[256 + i] = static_cast<std::uint16_t>(palette[i].g * 257);
            page.colourMap[512 + i] = static_cast<std::uint16_t>(palette[i].b * 257);
        }
        cases.push_back({"Palette", page,
                         bitmapOf(4, 2,
                                  {palette[0], palette[1], palette[2], palette[3], palette[3],
                                   palette[2], palette[1], palette[0]}),
                         0});
    }
    return cases;
}

void PrintTo(const TiffCase& c, std::ostream* out) {
    *out << c.name;
}

class TiffPages : public ::testing::TestWithParam<TiffCase> {};

TEST_P(TiffPages, DecodeToTheExpectedPixels) {
    const TiffCase& c = GetParam();
    const std::vector<std::uint8_t> file = makeTiff({c.page});
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(bitmapsMatch(decodeTiff(file), c.expected, c.tolerance));
}

INSTANTIATE_TEST_SUITE_P(RgbLayouts, TiffPages, ::testing::ValuesIn(rgbLayoutCases()),
                         [](const auto& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(ColourKinds, TiffPages, ::testing::ValuesIn(colourKindCases()),
                         [](const auto& info) { return info.param.name; });

TEST(TiffPagesInAFile, MultiPageFileGivesItsFirstPage) {
    const Bitmap24 first = photoLike(8, 6, 11);
    const Bitmap24 second = photoLike(12, 4, 12);
    TiffPage greyFirst;
    greyFirst.width = 3;
    greyFirst.height = 2;
    greyFirst.samplesPerPixel = 1;
    greyFirst.photometric = PHOTOMETRIC_MINISBLACK;
    greyFirst.samples = {10, 20, 30, 40, 50, 60};

    struct FileCase {
        std::string name;
        std::vector<TiffPage> pages;
        Bitmap24 expected;
    };
    const std::vector<FileCase> files = {
        {"two RGB pages", {rgbPage(first), rgbPage(second)}, first},
        {"three pages, the first grey",
         {greyFirst, rgbPage(second), rgbPage(first)},
         bitmapOf(
             3, 2,
             {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}, {40, 40, 40}, {50, 50, 50}, {60, 60, 60}})},
    };
    for (const FileCase& file : files) {
        SCOPED_TRACE(file.name);
        EXPECT_TRUE(bitmapsMatch(decodeTiff(makeTiff(file.pages)), file.expected));
    }
}

TEST(TiffErrors, UndecodableDataIsAnInvalidStreamFormat) {
    const std::vector<std::uint8_t> whole = encodeTiff(photoLike(20, 10, 3));
    const std::string text = "This is a text file, not a picture.\n";
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"text", {text.begin(), text.end()}},
        {"empty", {}},
        {"little-endian header only", {'I', 'I', 42, 0}},
        {"big-endian header, directory beyond the end", {'M', 'M', 0, 42, 0, 0, 1, 0}},
        {"cut in half", {whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)}},
        {"PNG signature", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const LoadFailure failure = failureOf([&bytes] { decodeTiff(bytes); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::invalidStreamFormat().toStdString());
    }
}

}  // namespace
}  // namespace quillmere::test
