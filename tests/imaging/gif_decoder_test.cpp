#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/codecs/gif_decoder.h"
#include "imaging/fixtures/gif_fixtures.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/imaging_messages.h"
#include "support/picture_files.h"

namespace quillmere::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{10, 200, 30};
constexpr Rgb kOrange{250, 140, 20};

// The expected screen: `fill` everywhere, `frame` over the given area.
Bitmap24 screenWith(int width, int height, Rgb fill, int left, int top, int frameWidth,
                    int frameHeight, Rgb frame) {
    Bitmap24 screen = solid(width, height, fill);
    for (int y = top; y < std::min(height, top + frameHeight); ++y) {
        for (int x = left; x < std::min(width, left + frameWidth); ++x) {
            screen.setPixel(x, y, frame);
        }
    }
    return screen;
}

TEST(GifTransparency, TransparentPixelsShowThePaletteColourAtTheTransparentIndex) {
    // Index 0 is black, and black is what shows where the frame is transparent.
    for (const Rgb transparentColour : {kBlack, kGreen}) {
        SCOPED_TRACE(::testing::PrintToString(transparentColour));
        GifPicture picture;
        picture.width = 4;
        picture.height = 2;
        picture.globalColours = {transparentColour, kRed, kWhite, kBlue};
        picture.backgroundIndex = 2;
        GifFrame frame;
        frame.width = 4;
        frame.height = 2;
        frame.transparentIndex = 0;
        frame.indices = {0, 1, 0, 3, 1, 0, 0, 1};
        picture.frames = {frame};
        EXPECT_TRUE(bitmapsMatch(decodeGif(makeGif(picture)),
                                 bitmapOf(4, 2,
                                          {transparentColour, kRed, transparentColour, kBlue, kRed,
                                           transparentColour, transparentColour, kRed})));
    }
}

// What shows where the first frame leaves the logical screen uncovered.
struct UncoveredCase {
    std::string name;
    bool globalTable;
    bool transparentFirstFrame;
    bool controlExtensionWithoutTransparency;
    bool transparentSecondFrame;
    Rgb uncovered;
};

void PrintTo(const UncoveredCase& c, std::ostream* out) {
    *out << c.name;
}

class GifUncoveredArea : public ::testing::TestWithParam<UncoveredCase> {};

TEST_P(GifUncoveredArea, GetsTheBackgroundOnlyWhenTheFirstFrameHasATransparentIndex) {
    const UncoveredCase& c = GetParam();
    const std::vector<Rgb> colours = {kRed, kBlue, kGreen, kOrange};
    GifPicture picture;
    picture.width = 7;
    picture.height = 5;
    picture.backgroundIndex = 2;
    GifFrame first = solidFrame(2, 1, 3, 2, 0);
    first.indices[4] = 3;  // the frame's transparent index shows its colour
    if (c.globalTable) {
        picture.globalColours = colours;
    } else {
        first.localColours = colours;
    }
    if (c.transparentFirstFrame) first.transparentIndex = 3;
    first.controlExtension = c.controlExtensionWithoutTransparency;
    GifFrame second = solidFrame(0, 0, 7, 5, 1);
    if (!c.globalTable) second.localColours = colours;
    if (c.transparentSecondFrame) second.transparentIndex = 1;
    picture.frames = {first, second};

    Bitmap24 expected = screenWith(7, 5, c.uncovered, 2, 1, 3, 2, kRed);
    expected.setPixel(3, 2, kOrange);
    EXPECT_TRUE(bitmapsMatch(decodeGif(makeGif(picture)), expected));
}

INSTANTIATE_TEST_SUITE_P(
    Gif, GifUncoveredArea,
    ::testing::Values(
        UncoveredCase{"TransparentWithGlobalTable", true, true, false, false, kGreen},
        UncoveredCase{"TransparentWithoutGlobalTable", false, true, false, false, kWhite},
        UncoveredCase{"OpaqueWithGlobalTable", true, false, false, false, kWhite},
        UncoveredCase{"OpaqueWithControlExtension", true, false, true, false, kWhite},
        UncoveredCase{"OnlySecondFrameTransparent", true, false, false, true, kWhite}),
    [](const auto& info) { return info.param.name; });

TEST(GifFrames, AnimatedGifGivesItsFirstFrame) {
    GifPicture picture;
    picture.width = 6;
    picture.height = 4;
    picture.globalColours = {kRed, kBlue, kGreen, kOrange};
    picture.loopingExtension = true;
    GifFrame first = solidFrame(0, 0, 6, 4, 0);
    first.controlExtension = true;
    first.indices[7] = 3;
    GifFrame second = solidFrame(0, 0, 6, 4, 1);
    second.controlExtension = true;
    GifFrame third = solidFrame(1, 1, 2, 2, 2);
    third.transparentIndex = 1;
    picture.frames = {first, second, third};

    Bitmap24 expected = solid(6, 4, kRed);
    expected.setPixel(1, 1, kOrange);
    EXPECT_TRUE(bitmapsMatch(decodeGif(makeGif(picture)), expected));
}

TEST(GifFrames, InterlacedFrameDecodesInDisplayOrder) {
    // Heights that end in each of the four passes, and a frame away from
    // the screen's corner.
    for (const int height : {1, 2, 3, 5, 8, 19}) {
        SCOPED_TRACE("height " + std::to_string(height));
        std::vector<Rgb> colours;
        for (int i = 0; i < 32; ++i) {
            colours.push_back({static_cast<std::uint8_t>(i * 8),
                               static_cast<std::uint8_t>(255 - i * 8),
                               static_cast<std::uint8_t>(i * 5)});
        }
        GifPicture picture;
        picture.width = 7;
        picture.height = height + 2;
        picture.globalColours = colours;
        GifFrame frame;
        frame.left = 1;
        frame.top = 2;
        frame.width = 5;
        frame.height = height;
        frame.interlaced = true;
        Bitmap24 expected(7, height + 2);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 5; ++x) {
                const auto index = static_cast<std::uint8_t>((y + x * 3) % 32);
                frame.indices.push_back(index);
                expected.setPixel(1 + x, 2 + y, colours[index]);
            }
        }
        picture.frames = {frame};
        EXPECT_TRUE(bitmapsMatch(decodeGif(makeGif(picture)), expected));
    }
}

TEST(GifFrames, FrameReachingPastTheScreenIsCutAtItsEdges) {
    GifPicture picture;
    picture.width = 5;
    picture.height = 4;
    picture.globalColours = {kRed, kBlue};
    picture.frames = {solidFrame(3, 2, 6, 5, 1)};
    EXPECT_TRUE(
        bitmapsMatch(decodeGif(makeGif(picture)), screenWith(5, 4, kWhite, 3, 2, 6, 5, kBlue)));
}

// A 16 x 16 picture of noisy indices over 16 colours, and what it shows.
struct NoisyGif {
    std::vector<std::uint8_t> file;
    Bitmap24 expected;
};

NoisyGif noisyGif() {
    std::vector<Rgb> colours;
    for (int i = 0; i < 16; ++i) {
        colours.push_back({static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(i * 7),
                           static_cast<std::uint8_t>(255 - i * 16)});
    }
    GifPicture picture;
    picture.width = 16;
    picture.height = 16;
    picture.globalColours = colours;
    GifFrame frame;
    frame.width = 16;
    frame.height = 16;
    Bitmap24 expected(16, 16);
    unsigned state = 7;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            state = state * 1103515245u + 12345u;
            const auto index = static_cast<std::uint8_t>((state >> 16) % 16);
            frame.indices.push_back(index);
            expected.setPixel(x, y, colours[index]);
        }
    }
    picture.frames = {frame};
    return {makeGif(picture), expected};
}

std::vector<std::uint8_t> withSignature(std::vector<std::uint8_t> file, const std::string& prefix,
                                        const std::string& signature) {
    std::copy(signature.begin(), signature.end(), file.begin());
    file.insert(file.begin(), prefix.begin(), prefix.end());
    return file;
}

TEST(GifSignature, AcceptsGifInAnyCaseAtTheStartOrAfterAFourBytePrefix) {
    const NoisyGif gif = noisyGif();
    const std::vector<std::pair<std::string, std::string>> accepted = {
        {"", "GIF"},
        {"", "gif"},
        {"", "Gif"},
        {"", "gIf"},
        {"abcd", "GIF"},
        {"abcd", "gif"},
        {std::string(4, '\0'), "GiF"},
    };
    for (const auto& [prefix, signature] : accepted) {
        SCOPED_TRACE("prefix \"" + prefix + "\", signature " + signature);
        EXPECT_TRUE(
            bitmapsMatch(decodeGif(withSignature(gif.file, prefix, signature)), gif.expected));
    }
}

TEST(GifSignature, AnythingElseIsAnInvalidSignature) {
    const NoisyGif gif = noisyGif();
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> rejected = {
        {"no prefix, GIX", withSignature(gif.file, "", "GIX")},
        {"two-byte prefix", withSignature(gif.file, "ab", "GIF")},
        {"three-byte prefix", withSignature(gif.file, "abc", "GIF")},
        {"five-byte prefix", withSignature(gif.file, "abcde", "GIF")},
        {"PNG signature", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'G', 'I', 'F'}},
        {"GI only", {'G', 'I'}},
        {"empty", {}},
    };
    for (const auto& [name, bytes] : rejected) {
        SCOPED_TRACE(name);
        const LoadFailure failure = failureOf([&bytes] { decodeGif(bytes); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::invalidGifSignature().toStdString());
    }
}

TEST(GifErrors, DamagedFileIsAnInvalidPictureError) {
    const std::vector<std::uint8_t> whole = noisyGif().file;
    const std::size_t descriptor = 13 + 3 * 16;  // after the header and the global table
    ASSERT_EQ(whole.at(descriptor), ',');
    const std::vector<std::pair<std::string, std::size_t>> cuts = {
        {"signature only", 3},
        {"version only", 6},
        {"inside the screen descriptor", 10},
        {"inside the colour table", 13 + 20},
        {"inside the image descriptor", descriptor + 5},
        {"inside the image data", descriptor + 10 + (whole.size() - descriptor - 12) / 2},
    };
    for (const auto& [name, length] : cuts) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> cut(whole.begin(),
                                            whole.begin() + static_cast<long>(length));
        const LoadFailure failure = failureOf([&cut] { decodeGif(cut); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_FALSE(failure.message.empty());
    }
}

TEST(GifScreen, AFileWithoutAnImageIsAWhiteScreen) {
    // Header, a 3 x 2 screen without a colour table, the trailer.
    const std::vector<std::uint8_t> file = {'G', 'I', 'F', '8', '9', 'a', 3,
                                            0,   2,   0,   0,   0,   0,   0x3B};
    const Bitmap24 screen = decodeGif(file);
    ASSERT_EQ(screen.width(), 3);
    ASSERT_EQ(screen.height(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(screen.pixel(x, y), (Rgb{255, 255, 255}));
    }
}

}  // namespace
}  // namespace quillmere::test
