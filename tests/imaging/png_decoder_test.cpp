#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/codecs/png_decoder.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/fixtures/png_fixtures.h"
#include "imaging/imaging_messages.h"
#include "support/picture_files.h"

namespace quillmere::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};

// Samples of 8-bit values widened to 16 bits without changing their value.
std::vector<unsigned> widened(std::vector<unsigned> samples) {
    for (unsigned& s : samples) s *= 257;
    return samples;
}

struct PngCase {
    std::string name;
    PngPicture picture;
    std::vector<Rgb> expected;  // 4 x 2 pixels
};

PngPicture picture4x2(PngColour colour, int bitDepth, std::vector<unsigned> samples) {
    PngPicture p;
    p.width = 4;
    p.height = 2;
    p.colour = colour;
    p.bitDepth = bitDepth;
    p.samples = std::move(samples);
    return p;
}

Rgb grey(std::uint8_t v) {
    return {v, v, v};
}

std::vector<PngCase> pngCases() {
    std::vector<PngCase> cases;
    cases.push_back(
        {"Grey1",
         picture4x2(PngColour::Grey, 1, {0, 1, 1, 0, 1, 0, 0, 1}),
         {grey(0), grey(255), grey(255), grey(0), grey(255), grey(0), grey(0), grey(255)}});
    cases.push_back(
        {"Grey2",
         picture4x2(PngColour::Grey, 2, {0, 1, 2, 3, 3, 2, 1, 0}),
         {grey(0), grey(85), grey(170), grey(255), grey(255), grey(170), grey(85), grey(0)}});
    cases.push_back(
        {"Grey4",
         picture4x2(PngColour::Grey, 4, {0, 1, 7, 15, 14, 8, 2, 5}),
         {grey(0), grey(17), grey(119), grey(255), grey(238), grey(136), grey(34), grey(85)}});
    cases.push_back(
        {"Grey8",
         picture4x2(PngColour::Grey, 8, {0, 37, 200, 255, 1, 2, 128, 254}),
         {grey(0), grey(37), grey(200), grey(255), grey(1), grey(2), grey(128), grey(254)}});
    cases.push_back(
        {"Grey16",
         picture4x2(PngColour::Grey, 16, widened({0, 37, 200, 255, 1, 2, 128, 254})),
         {grey(0), grey(37), grey(200), grey(255), grey(1), grey(2), grey(128), grey(254)}});
    cases.push_back(
        {"GreyAlpha8",
         picture4x2(PngColour::GreyAlpha, 8,
                    {200, 255, 200, 0, 0, 128, 100, 64, 0, 255, 255, 0, 30, 1, 30, 254}),
         {grey(200), kWhite, grey(127), overWhite({100, 100, 100, 64}), grey(0), kWhite,
          overWhite({30, 30, 30, 1}), overWhite({30, 30, 30, 254})}});
    cases.push_back(
        {"GreyAlpha16",
         picture4x2(PngColour::GreyAlpha, 16,
                    widened({200, 255, 200, 0, 0, 128, 100, 64, 0, 255, 255, 0, 30, 1, 30, 254})),
         {grey(200), kWhite, grey(127), overWhite({100, 100, 100, 64}), grey(0), kWhite,
          overWhite({30, 30, 30, 1}), overWhite({30, 30, 30, 254})}});
    cases.push_back(
        {"Rgb8",
         picture4x2(PngColour::Rgb, 8, {255, 0, 0, 0,   255, 0,   0, 0,   255, 10, 20, 30,
                                        0,   0, 0, 255, 255, 255, 1, 128, 254, 77, 66, 55}),
         {{255, 0, 0},
          {0, 255, 0},
          {0, 0, 255},
          {10, 20, 30},
          {0, 0, 0},
          {255, 255, 255},
          {1, 128, 254},
          {77, 66, 55}}});
    cases.push_back({"Rgb16",
                     picture4x2(PngColour::Rgb, 16,
                                widened({255, 0, 0, 0,   255, 0,   0, 0,   255, 10, 20, 30,
                                         0,   0, 0, 255, 255, 255, 1, 128, 254, 77, 66, 55})),
                     {{255, 0, 0},
                      {0, 255, 0},
                      {0, 0, 255},
                      {10, 20, 30},
                      {0, 0, 0},
                      {255, 255, 255},
                      {1, 128, 254},
                      {77, 66, 55}}});
    const std::vector<unsigned> rgba = {255, 0,   0,   128, 0,   0,  0,  0,  10,  20, 30,
                                        255, 0,   0,   255, 1,   90, 90, 90, 200, 0,  0,
                                        0,   128, 255, 255, 255, 0,  12, 34, 56,  254};
    const std::vector<Rgb> rgbaExpected = {{255, 127, 127},
                                           kWhite,
                                           {10, 20, 30},
                                           overWhite({0, 0, 255, 1}),
                                           overWhite({90, 90, 90, 200}),
                                           {127, 127, 127},
                                           kWhite,
                                           overWhite({12, 34, 56, 254})};
    cases.push_back({"Rgba8", picture4x2(PngColour::Rgba, 8, rgba), rgbaExpected});
    cases.push_back({"Rgba16", picture4x2(PngColour::Rgba, 16, widened(rgba)), rgbaExpected});

    const std::vector<Rgb> palette = {{255, 0, 0}, {0, 128, 0}, {0, 0, 255}, {250, 240, 10}};
    for (int depth : {2, 4, 8}) {
        PngPicture p = picture4x2(PngColour::Palette, depth, {0, 1, 2, 3, 3, 3, 1, 0});
        p.palette = palette;
        cases.push_back({"Palette" + std::to_string(depth),
                         p,
                         {palette[0], palette[1], palette[2], palette[3], palette[3], palette[3],
                          palette[1], palette[0]}});
    }
    {
        PngPicture p = picture4x2(PngColour::Palette, 1, {0, 1, 1, 0, 0, 0, 1, 1});
        p.palette = {{12, 34, 56}, {200, 100, 50}};
        cases.push_back({"Palette1",
                         p,
                         {{12, 34, 56},
                          {200, 100, 50},
                          {200, 100, 50},
                          {12, 34, 56},
                          {12, 34, 56},
                          {12, 34, 56},
                          {200, 100, 50},
                          {200, 100, 50}}});
    }
    {
        // tRNS shorter than the palette: the entries it leaves out are opaque.
        PngPicture p = picture4x2(PngColour::Palette, 8, {0, 1, 2, 3, 3, 2, 1, 0});
        p.palette = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {40, 50, 60}};
        p.paletteAlpha = {0, 128, 60};
        const Rgb third = overWhite({0, 0, 255, 60});
        cases.push_back({"PaletteWithTrns",
                         p,
                         {kWhite,
                          {255, 127, 127},
                          third,
                          {40, 50, 60},
                          {40, 50, 60},
                          third,
                          {255, 127, 127},
                          kWhite}});
    }
    {
        PngPicture p = picture4x2(PngColour::Grey, 8, {100, 99, 101, 0, 255, 100, 100, 200});
        p.colourKey = {{100, 0, 0}};
        cases.push_back(
            {"GreyColourKey8",
             p,
             {kWhite, grey(99), grey(101), grey(0), grey(255), kWhite, kWhite, grey(200)}});
    }
    {
        // The key matches the full 16-bit sample, not the sample cut to 8 bits.
        PngPicture p =
            picture4x2(PngColour::Grey, 16, {0x6464, 0x6465, 0x6464, 0, 0xFFFF, 0x6464, 0, 0x6465});
        p.colourKey = {{0x6464, 0, 0}};
        cases.push_back(
            {"GreyColourKey16",
             p,
             {kWhite, grey(100), kWhite, grey(0), grey(255), kWhite, grey(0), grey(100)}});
    }
    {
        PngPicture p = picture4x2(PngColour::Grey, 4, {3, 4, 3, 15, 0, 3, 2, 3});
        p.colourKey = {{3, 0, 0}};
        cases.push_back({"GreyColourKey4",
                         p,
                         {kWhite, grey(68), kWhite, grey(255), grey(0), kWhite, grey(34), kWhite}});
    }
    {
        PngPicture p =
            picture4x2(PngColour::Rgb, 8, {10, 20, 30, 10,  20,  31,  11, 20, 30, 0,  0,  0,
                                           10, 20, 30, 255, 255, 255, 30, 20, 10, 10, 20, 30});
        p.colourKey = {{10, 20, 30}};
        cases.push_back({"RgbColourKey",
                         p,
                         {kWhite,
                          {10, 20, 31},
                          {11, 20, 30},
                          {0, 0, 0},
                          kWhite,
                          kWhite,
                          {30, 20, 10},
                          kWhite}});
    }
    return cases;
}

void PrintTo(const PngCase& c, std::ostream* out) {
    *out << c.name;
}

class PngColourTypes : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngColourTypes, DecodesToTheExpectedPixels) {
    const PngCase& c = GetParam();
    const std::vector<std::uint8_t> file = makePng(c.picture);
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(bitmapsMatch(decodePng(file), bitmapOf(4, 2, c.expected)));
}

TEST_P(PngColourTypes, InterlacedFileGivesTheSamePixels) {
    PngPicture interlaced = GetParam().picture;
    interlaced.interlaced = true;
    EXPECT_TRUE(bitmapsMatch(decodePng(makePng(interlaced)), bitmapOf(4, 2, GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(Png, PngColourTypes, ::testing::ValuesIn(pngCases()),
                         [](const auto& info) { return info.param.name; });

// A picture big enough that every pass of Adam7 carries pixels, with sides
// that are not multiples of 8.
TEST(PngInterlace, InterlacedPictureDecodesLikeThePlainOne) {
    const Bitmap24 source = photoLike(37, 29, 5);
    const Bitmap24 plain = decodePng(makeRgbPng(source, false));
    const Bitmap24 interlaced = decodePng(makeRgbPng(source, true));
    EXPECT_TRUE(bitmapsMatch(plain, source));
    EXPECT_TRUE(bitmapsMatch(interlaced, source));
}

TEST(PngInterlace, InterlacedPictureWithAlphaDecodesLikeThePlainOne) {
    PngPicture picture;
    picture.width = 23;
    picture.height = 19;
    picture.colour = PngColour::Rgba;
    std::vector<Rgb> expected;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba c{static_cast<std::uint8_t>(x * 11), static_cast<std::uint8_t>(y * 13),
                         static_cast<std::uint8_t>((x * y) % 256),
                         static_cast<std::uint8_t>((x * 37 + y * 53) % 256)};
            picture.samples.insert(picture.samples.end(), {c.r, c.g, c.b, c.a});
            expected.push_back(overWhite(c));
        }
    }
    const Bitmap24 plain = decodePng(makePng(picture));
    picture.interlaced = true;
    const Bitmap24 interlaced = decodePng(makePng(picture));
    EXPECT_TRUE(bitmapsMatch(plain, bitmapOf(23, 19, expected)));
    EXPECT_TRUE(bitmapsMatch(interlaced, plain));
}

TEST(PngTransparency, EveryAlphaLevelIsBlendedOverWhiteAndRoundedDown) {
    PngPicture picture;
    picture.width = 256;
    picture.height = 2;
    picture.colour = PngColour::Rgba;
    std::vector<Rgb> expected;
    for (int y = 0; y < 2; ++y) {
        for (unsigned alpha = 0; alpha < 256; ++alpha) {
            const Rgba c = y == 0 ? Rgba{255, 0, 64, static_cast<std::uint8_t>(alpha)}
                                  : Rgba{1, 128, 254, static_cast<std::uint8_t>(alpha)};
            picture.samples.insert(picture.samples.end(), {c.r, c.g, c.b, c.a});
            expected.push_back(overWhite(c));
        }
    }
    EXPECT_TRUE(bitmapsMatch(decodePng(makePng(picture)), bitmapOf(256, 2, expected)));
}

TEST(PngTransparency, FullyTransparentBackgroundBecomesWhite) {
    PngPicture picture;
    picture.width = 9;
    picture.height = 7;
    picture.colour = PngColour::Rgba;
    for (int i = 0; i < 9 * 7; ++i) picture.samples.insert(picture.samples.end(), {0, 0, 0, 0});
    const Bitmap24 decoded = decodePng(makePng(picture));
    EXPECT_EQ(decoded.width(), 9);
    EXPECT_EQ(decoded.height(), 7);
    EXPECT_TRUE(allPixelsAre(decoded, kWhite));
}

TEST(PngSize, WidthAndHeightComeFromTheFile) {
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{1, 1}, {300, 2}, {3, 170}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const Bitmap24 source = photoLike(width, height, 9);
        EXPECT_TRUE(bitmapsMatch(decodePng(makeRgbPng(source)), source));
    }
}

std::vector<std::uint8_t> smallPng() {
    return makeRgbPng(photoLike(40, 30, 2));
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(PngErrors, WrongSignatureIsAnInvalidHeaderButNotAnInvalidPictureError) {
    std::vector<std::uint8_t> firstByteChanged = smallPng();
    firstByteChanged[0] = 0x88;
    std::vector<std::uint8_t> lineEndingsChanged = smallPng();
    lineEndingsChanged[4] = '\n';  // what a text-mode transfer does to "\r\n"
    const std::vector<std::uint8_t> gifData = {'G', 'I', 'F', '8', '9', 'a', 1,
                                               0,   1,   0,   0,   0,   0,   ';'};

    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"text", bytesOf("This is a text file, not a picture.\n")},
        {"first byte changed", firstByteChanged},
        {"line endings changed", lineEndingsChanged},
        {"GIF data", gifData},
        {"empty", {}},
        {"four bytes", {0x89, 'P', 'N', 'G'}},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const LoadFailure failure = failureOf([&bytes] { decodePng(bytes); });
        EXPECT_TRUE(failure.appError) << failure;
        EXPECT_FALSE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::pngInvalidHeader().toStdString());
    }
}

TEST(PngErrors, FileCutShortReportsAnUnexpectedEnd) {
    const std::vector<std::uint8_t> whole = smallPng();
    const std::size_t idat = pngChunkOffset(whole, "IDAT");
    const std::size_t iend = pngChunkOffset(whole, "IEND");
    const std::vector<std::pair<std::string, std::size_t>> cuts = {
        {"after the signature", 8}, {"inside IHDR", 20},
        {"before IDAT", idat},      {"inside IDAT", idat + 8 + (iend - idat - 12) / 2},
        {"before IEND", iend},      {"last byte missing", whole.size() - 1},
    };
    for (const auto& [name, length] : cuts) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> cut(whole.begin(),
                                            whole.begin() + static_cast<long>(length));
        const LoadFailure failure = failureOf([&cut] { decodePng(cut); });
        EXPECT_TRUE(failure.appError) << failure;
        EXPECT_FALSE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::pngUnexpectedEnd().toStdString());
    }
}

TEST(PngErrors, OtherDamageCarriesTheCodecsOwnText) {
    struct Damage {
        std::string name;
        std::vector<std::uint8_t> file;
        std::string textPart;  // a piece of libpng's message
    };
    std::vector<Damage> damages;
    {
        std::vector<std::uint8_t> file = smallPng();
        spoilPngChunkCrc(file, "IHDR");
        damages.push_back({"bad IHDR CRC", file, "CRC"});
    }
    {
        std::vector<std::uint8_t> file = smallPng();
        setPngChunkByte(file, "IHDR", 8, 3, true);  // bit depth 3
        damages.push_back({"bit depth 3", file, "IHDR"});
    }
    {
        std::vector<std::uint8_t> file = smallPng();
        setPngChunkByte(file, "IHDR", 9, 1, true);  // colour type 1
        damages.push_back({"colour type 1", file, "IHDR"});
    }
    {
        std::vector<std::uint8_t> file = smallPng();
        spoilPngChunkCrc(file, "IDAT");
        damages.push_back({"bad IDAT CRC", file, "CRC"});
    }
    {
        std::vector<std::uint8_t> file = smallPng();
        const std::size_t idat = pngChunkOffset(file, "IDAT");
        setPngChunkByte(file, "IDAT", 10, static_cast<std::uint8_t>(~file[idat + 8 + 10]), true);
        damages.push_back({"damaged image data", file, "IDAT"});
    }
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        const LoadFailure failure = failureOf([&damage] { decodePng(damage.file); });
        EXPECT_TRUE(failure.appError) << failure;
        EXPECT_FALSE(failure.invalidPicture) << failure;
        EXPECT_NE(failure.message, imaging_messages::pngInvalidHeader().toStdString());
        EXPECT_NE(failure.message, imaging_messages::pngUnexpectedEnd().toStdString());
        EXPECT_NE(failure.message.find(damage.textPart), std::string::npos) << failure;
    }
}

}  // namespace
}  // namespace quillmere::test
