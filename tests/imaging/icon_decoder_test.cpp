#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/codecs/ico_decoder.h"
#include "imaging/fixtures/icon_fixtures.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/imaging_messages.h"

namespace quillmere::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kGreen{0, 160, 0, 255};
constexpr Rgba kTeal{30, 120, 200, 255};

Rgb opaque(Rgba c) {
    return {c.r, c.g, c.b};
}

TEST(IconSize, ImagesOfOtherSizesAreScaledTo32By32) {
    for (const int size : {64, 48, 16, 255}) {
        for (const int bitCount : {4, 24, 32}) {
            SCOPED_TRACE(std::to_string(size) + " pixels, " + std::to_string(bitCount) + " bits");
            const Bitmap24 decoded =
                decodeIcon(makeIcon({solidIconImage(size, size, bitCount, kTeal)}));
            EXPECT_EQ(decoded.width(), 32);
            EXPECT_EQ(decoded.height(), 32);
            EXPECT_TRUE(allPixelsAre(decoded, opaque(kTeal), 1));
        }
    }
}

TEST(IconSize, LargerImageIsScaledDownNotCut) {
    // Left half red, right half blue, bottom-right quarter green.
    IconImage image = solidIconImage(64, 64, 24, kRed);
    for (int y = 0; y < 64; ++y) {
        for (int x = 32; x < 64; ++x) {
            image.pixels[static_cast<std::size_t>(y * 64 + x)] = y < 32 ? kBlue : kGreen;
        }
    }
    const Bitmap24 decoded = decodeIcon(makeIcon({image}));
    ASSERT_EQ(decoded.width(), 32);
    ASSERT_EQ(decoded.height(), 32);
    EXPECT_EQ(decoded.pixel(2, 2), opaque(kRed));
    EXPECT_EQ(decoded.pixel(2, 29), opaque(kRed));
    EXPECT_EQ(decoded.pixel(29, 2), opaque(kBlue));
    EXPECT_EQ(decoded.pixel(29, 29), opaque(kGreen));
}

struct ChoiceCase {
    std::string name;
    std::vector<IconImage> images;
    Rgb shown;
};

void PrintTo(const ChoiceCase& c, std::ostream* out) {
    *out << c.name;
}

class IconChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(IconChoice, TakesTheImageNearest32By32WithTheMostColours) {
    const Bitmap24 decoded = decodeIcon(makeIcon(GetParam().images));
    EXPECT_EQ(decoded.width(), 32);
    EXPECT_EQ(decoded.height(), 32);
    EXPECT_TRUE(allPixelsAre(decoded, GetParam().shown, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Icon, IconChoice,
    ::testing::Values(
        ChoiceCase{"Sizes16Then32",
                   {solidIconImage(16, 16, 32, kRed), solidIconImage(32, 32, 32, kBlue)},
                   opaque(kBlue)},
        ChoiceCase{"Sizes32Then16",
                   {solidIconImage(32, 32, 32, kBlue), solidIconImage(16, 16, 32, kRed)},
                   opaque(kBlue)},
        ChoiceCase{"Sizes48And16And32And64",
                   {solidIconImage(48, 48, 32, kRed), solidIconImage(16, 16, 32, kGreen),
                    solidIconImage(32, 32, 32, kBlue), solidIconImage(64, 64, 32, kTeal)},
                   opaque(kBlue)},
        ChoiceCase{"NearestOf48And24",
                   {solidIconImage(48, 48, 32, kRed), solidIconImage(24, 24, 32, kBlue)},
                   opaque(kBlue)},
        ChoiceCase{"FourBitsThenThirtyTwo",
                   {solidIconImage(32, 32, 4, kRed), solidIconImage(32, 32, 32, kBlue)},
                   opaque(kBlue)},
        ChoiceCase{"ThirtyTwoThenFourBits",
                   {solidIconImage(32, 32, 32, kBlue), solidIconImage(32, 32, 4, kRed)},
                   opaque(kBlue)},
        ChoiceCase{"EightBitsThenTwentyFour",
                   {solidIconImage(32, 32, 8, kRed), solidIconImage(32, 32, 24, kGreen)},
                   opaque(kGreen)},
        ChoiceCase{"NearSizeBeatsMoreColours",
                   {solidIconImage(48, 48, 32, kRed), solidIconImage(32, 32, 4, kBlue)},
                   opaque(kBlue)}),
    [](const auto& info) { return info.param.name; });

TEST(IconTransparency, MaskedAreaComesOutWhite) {
    // A standard icon: black colour bits under the mask, a frame of
    // transparent pixels around a two-coloured square.
    for (const int bitCount : {4, 8, 24}) {
        SCOPED_TRACE(std::to_string(bitCount) + " bits");
        IconImage image = solidIconImage(32, 32, bitCount, kRed);
        image.masked.assign(32 * 32, false);
        Bitmap24 expected(32, 32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const auto at = static_cast<std::size_t>(y * 32 + x);
                const bool inside = x >= 5 && x < 27 && y >= 3 && y < 29;
                if (!inside) {
                    image.masked[at] = true;
                    image.pixels[at] = Rgba{0, 0, 0, 255};
                } else {
                    image.pixels[at] = x < 16 ? kRed : kTeal;
                    expected.setPixel(x, y, opaque(image.pixels[at]));
                }
            }
        }
        EXPECT_TRUE(bitmapsMatch(decodeIcon(makeIcon({image})), expected));
    }
}

TEST(IconTransparency, PerPixelAlphaIsBlendedOverWhite) {
    const std::vector<Rgba> colours = {{255, 0, 0, 128},   {0, 0, 0, 0},      {10, 20, 30, 255},
                                       {0, 0, 255, 64},    {90, 90, 90, 200}, {0, 0, 0, 128},
                                       {255, 255, 255, 0}, {12, 34, 56, 254}};
    IconImage image = solidIconImage(32, 32, 32, kRed);
    Bitmap24 expected(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgba c = colours[static_cast<std::size_t>((x / 4 + y) % 8)];
            image.pixels[static_cast<std::size_t>(y * 32 + x)] = c;
            expected.setPixel(x, y, overWhite(c));
        }
    }
    const Bitmap24 decoded = decodeIcon(makeIcon({image}));
    EXPECT_TRUE(bitmapsMatch(decoded, expected, 1));
    EXPECT_EQ(decoded.pixel(0, 0), (Rgb{255, 127, 127}));
    EXPECT_EQ(decoded.pixel(4, 0), kWhite);
}

TEST(IconErrors, BrokenIconIsAnInvalidIconImage) {
    const std::vector<std::uint8_t> good = makeIcon({solidIconImage(32, 32, 24, kTeal)});
    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes.at(at) = value;
        return bytes;
    };
    const std::size_t dib = 6 + 16;
    std::vector<std::uint8_t> widthZero =
        changed(6, 0);  // the entry's width 0 defers to the header
    std::fill_n(widthZero.begin() + static_cast<long>(dib + 4), 4, 0);
    std::vector<std::uint8_t> paletteTooLong = makeIcon({solidIconImage(32, 32, 4, kTeal)});
    paletteTooLong.at(dib + 32) = 0x2C;  // 300 colours for a 4-bit image
    paletteTooLong.at(dib + 33) = 0x01;
    const std::string text = "This is a text file, not a picture.\n";
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"empty", {}},
        {"text", {text.begin(), text.end()}},
        {"directory without entries", {0, 0, 1, 0, 0, 0}},
        {"entry missing", {0, 0, 1, 0, 1, 0}},
        {"reserved word set", changed(0, 1)},
        {"unknown resource type", changed(2, 3)},
        {"image beyond the end", changed(6 + 15, 0x40)},
        {"image without width", widthZero},
        {"colour table over 256 entries", paletteTooLong},
        {"image cut short", {good.begin(), good.begin() + static_cast<long>(dib + 30)}},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const LoadFailure failure = failureOf([&bytes] { decodeIcon(bytes); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::iconNotValid().toStdString());
    }
}

}  // namespace
}  // namespace quillmere::test
