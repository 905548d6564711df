#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "imaging/fixtures/ink.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/metafile/decoder.h"
#include "support/metafile_writer.h"

namespace quillmere::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr std::uint16_t kPsNull = 5;

Bitmap24 play(const WmfWriter& writer) {
    return decodeMetafile(writer.bytes());
}

// A 96 x 72 pixel picture of 1440 units an inch: 15 units a pixel.
WmfWriter twipsPicture() {
    return WmfWriter::placeable(0, 0, 1440, 1080, 1440);
}

// A plain file whose window is the picture's pixels.
WmfWriter pixelPicture(int width, int height) {
    WmfWriter wmf = WmfWriter::plain();
    wmf.windowOrigin(0, 0).windowExtent(width, height);
    return wmf;
}

// Red filling, no outline: objects 0 and 1.
WmfWriter& fillRed(WmfWriter& wmf) {
    return wmf.createBrush(kRed).select(0).createPen(kPsNull, 0, kRed).select(1);
}

TEST(WmfSize, SizeComesFromTheBoundingBoxOrTheWindowExtent) {
    struct Case {
        std::string name;
        WmfWriter writer;
        int width, height;
    };
    const std::vector<Case> cases = {
        {"placeable, 1440 units an inch", WmfWriter::placeable(0, 0, 1440, 720, 1440), 96, 48},
        {"placeable, 576 units an inch, box off the origin",
         WmfWriter::placeable(-100, -100, 476, 188, 576), 96, 48},
        {"placeable, 96 units an inch", WmfWriter::placeable(0, 0, 100, 50, 96), 100, 50},
        {"placeable, box upside down", WmfWriter::placeable(0, 720, 1440, 0, 1440), 96, 48},
        {"plain, window extent", pixelPicture(120, 80), 120, 80},
        {"plain, window extent turning y over", pixelPicture(120, -80), 120, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap24 picture = play(c.writer);
        EXPECT_EQ(picture.width(), c.width);
        EXPECT_EQ(picture.height(), c.height);
        EXPECT_TRUE(allPixelsAre(picture, kWhite));
    }
}

TEST(WmfDrawing, TheWindowFillsThePicture) {
    struct Case {
        std::string name;
        std::function<WmfWriter()> make;
        std::vector<int> box;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"placeable box without window records",
         twipsPicture,
         {150, 150, 750, 600},
         {{30, 25, kRed}, {11, 11, kRed}, {5, 5, kWhite}, {60, 50, kWhite}}},
        {"placeable box with its window set",
         [] {
             WmfWriter wmf = twipsPicture();
             wmf.windowOrigin(0, 0).windowExtent(1440, 1080);
             return wmf;
         },
         {150, 150, 750, 600},
         {{30, 25, kRed}, {5, 5, kWhite}, {60, 50, kWhite}}},
        {"a window smaller than the box magnifies",
         [] {
             WmfWriter wmf = twipsPicture();
             wmf.windowOrigin(0, 0).windowExtent(144, 108);
             return wmf;
         },
         {15, 15, 75, 60},
         {{30, 25, kRed}, {5, 5, kWhite}, {60, 50, kWhite}}},
        {"window origin moves the drawing",
         [] {
             WmfWriter wmf = pixelPicture(96, 72);
             wmf.windowOrigin(-10, -10);
             return wmf;
         },
         {10, 10, 50, 40},
         {{40, 35, kRed}, {15, 15, kWhite}, {55, 45, kRed}}},
        {"a negative extent turns y over",
         [] {
             WmfWriter wmf = pixelPicture(96, 72);
             wmf.windowOrigin(0, 72).windowExtent(96, -72);
             return wmf;
         },
         {10, 10, 50, 20},
         {{30, 57, kRed}, {30, 15, kWhite}}},
        {"isotropic mapping keeps the aspect",
         [] {
             WmfWriter wmf = pixelPicture(96, 72);
             wmf.record(meta::SetMapMode, {7});
             wmf.windowExtent(48, 72);
             return wmf;
         },
         {0, 0, 24, 36},
         {{20, 20, kRed}, {30, 20, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WmfWriter wmf = c.make();
        fillRed(wmf).rectangle(c.box[0], c.box[1], c.box[2], c.box[3]);
        const Bitmap24 picture = play(wmf);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(WmfDrawing, ShapesAndPens) {
    struct Case {
        std::string name;
        std::function<void(WmfWriter&)> draw;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"polygon",
         [](WmfWriter& w) {
             fillRed(w).poly(meta::Polygon, {{10, 60}, {50, 10}, {90, 60}});
         },
         {{50, 40, kRed}, {15, 15, kWhite}, {85, 15, kWhite}}},
        {"ellipse",
         [](WmfWriter& w) { fillRed(w).ellipse(10, 10, 70, 70); },
         {{40, 40, kRed}, {12, 12, kWhite}}},
        {"pie, counter-clockwise",
         [](WmfWriter& w) {
             fillRed(w).record(meta::Pie, {10, 40, 40, 70, 70, 70, 10, 10});
         },
         {{55, 25, kRed}, {25, 55, kWhite}}},
        {"pen 9 units wide",
         [](WmfWriter& w) {
             w.createPen(0, 9, kBlue).select(0);
             w.record(meta::MoveTo, {36, 10}).record(meta::LineTo, {36, 86});
         },
         {{48, 33, kBlue}, {48, 39, kBlue}, {48, 29, kWhite}, {48, 43, kWhite}}},
        {"polyline with a one-pixel pen",
         [](WmfWriter& w) {
             w.createPen(0, 0, kBlue).select(0);
             w.poly(meta::Polyline, {{10, 36}, {86, 36}});
         },
         {{48, 36, kBlue}, {48, 38, kWhite}}},
        {"clipping",
         [](WmfWriter& w) {
             w.record(meta::IntersectClipRect, {40, 40, 20, 20});
             fillRed(w).rectangle(0, 0, 96, 72);
         },
         {{30, 30, kRed}, {10, 10, kWhite}, {50, 50, kWhite}}},
        {"save and restore",
         [](WmfWriter& w) {
             fillRed(w).record(meta::SaveDc, {});
             w.createBrush(kBlue).select(2).record(meta::RestoreDc, {-1});
             w.rectangle(10, 10, 30, 30);
         },
         {{20, 20, kRed}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WmfWriter wmf = pixelPicture(96, 72);
        c.draw(wmf);
        const Bitmap24 picture = play(wmf);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(WmfDrawing, NewObjectsTakeTheLowestFreeSlot) {
    WmfWriter wmf = pixelPicture(96, 72);
    wmf.createBrush(kRed).createBrush(kBlue);  // slots 0 and 1
    wmf.record(meta::DeleteObject, {0});
    wmf.createBrush(kGreen);  // takes slot 0 again
    wmf.createPen(kPsNull, 0, kRed).select(2);
    wmf.select(0).rectangle(10, 10, 30, 30);
    wmf.select(1).rectangle(50, 10, 70, 30);
    EXPECT_TRUE(pixelsAre(play(wmf), {{20, 20, kGreen}, {60, 20, kBlue}}));
}

const std::vector<Rgb> kQuadrants = {kRed, kGreen, kBlue, kYellow};

TEST(WmfBitmaps, DibRecordsDrawTheirBitmap) {
    for (const int bits : {4, 8, 24, 32}) {
        SCOPED_TRACE(std::to_string(bits) + " bits, META_DIBSTRETCHBLT");
        WmfWriter wmf = pixelPicture(96, 72);
        wmf.dibStretchBlt(10, 10, 40, 40, makeDib(2, 2, bits, kQuadrants));
        EXPECT_TRUE(pixelsAre(play(wmf), {{20, 20, kRed},
                                          {40, 20, kGreen},
                                          {20, 40, kBlue},
                                          {40, 40, kYellow},
                                          {5, 5, kWhite},
                                          {55, 55, kWhite}}));
    }
    {
        SCOPED_TRACE("META_STRETCHDIB, source rows counted from the bottom");
        WmfWriter wmf = pixelPicture(96, 72);
        Bytes b;
        b.u32(kSrcCopy).u16(0).i16(1).i16(1).i16(0).i16(1);  // one pixel at (1, 0) from below
        b.i16(20).i16(20).i16(10).i16(10).append(makeDib(2, 2, 24, kQuadrants).packed());
        wmf.record(meta::StretchDib, b);
        EXPECT_TRUE(pixelsAre(play(wmf), {{25, 25, kYellow}, {5, 5, kWhite}}));
    }
    {
        SCOPED_TRACE("META_DIBBITBLT");
        WmfWriter wmf = pixelPicture(96, 72);
        Bytes b;
        b.u32(kSrcCopy).i16(0).i16(0).i16(2).i16(2).i16(10).i16(60);
        b.append(makeDib(2, 2, 24, kQuadrants).packed());
        wmf.record(meta::DibBitBlt, b);
        EXPECT_TRUE(pixelsAre(play(wmf), {{60, 10, kRed}, {61, 11, kYellow}, {5, 5, kWhite}}));
    }
}

TEST(WmfText, TextOutAndExtTextOutPutInkNearTheirPoint) {
    for (const bool extended : {false, true}) {
        SCOPED_TRACE(extended ? "META_EXTTEXTOUT" : "META_TEXTOUT");
        WmfWriter wmf = pixelPicture(240, 96);
        wmf.createFont(-24, "DejaVu Sans").select(0);
        if (extended) {
            wmf.record(meta::ExtTextOut, Bytes().i16(20).i16(20).i16(4).u16(0).ansi("HHHH"));
        } else {
            wmf.textOut(20, 20, "HHHH");
        }
        const InkBounds ink = inkBounds(play(wmf));
        ASSERT_GT(ink.count, 20);
        EXPECT_GE(ink.left, 19);
        EXPECT_LE(ink.left, 26);
        EXPECT_GE(ink.top, 19);
        EXPECT_LE(ink.bottom, 48);
        EXPECT_LT(ink.right, 140);
    }
}

TEST(WmfText, ExtTextOutFillsItsOpaqueRectangle) {
    WmfWriter wmf = pixelPicture(96, 72);
    wmf.record(meta::SetBkColor, Bytes().u32(colorRef(kBlue)));
    wmf.record(meta::ExtTextOut,
               Bytes().i16(20).i16(20).i16(0).u16(2).i16(20).i16(20).i16(60).i16(50));
    EXPECT_TRUE(pixelsAre(play(wmf), {{40, 35, kBlue}, {10, 10, kWhite}, {70, 35, kWhite}}));
}

}  // namespace
}  // namespace quillmere::test
