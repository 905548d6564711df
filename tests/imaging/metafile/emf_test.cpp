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
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kYellow{255, 255, 0};

Bitmap24 play(const EmfWriter& writer) {
    return decodeMetafile(writer.bytes());
}

// A red rectangle without an outline, after whatever `setup` records.
Bitmap24 redRectangleAfter(int width, int height, const std::function<void(EmfWriter&)>& setup,
                           std::vector<int> box) {
    EmfWriter emf(width, height);
    emf.fillWith(1, kRed);
    setup(emf);
    emf.rectangle(box[0], box[1], box[2], box[3]);
    return play(emf);
}

TEST(EmfSize, FrameConvertsToPixelsAt96DotsPerInch) {
    struct Case {
        std::string name;
        int left, top, right, bottom;
        int width, height;
    };
    const std::vector<Case> cases = {
        {"an inch by half an inch", 0, 0, 2540, 1270, 96, 48},
        {"frame away from the origin", 1000, -500, 1000 + 5080, -500 + 635, 192, 24},
        {"rounded to the nearest pixel", 0, 0, 2646, 2117, 100, 80},
        {"corners given the other way round", 2540, 1270, 0, 0, 96, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap24 picture = play(EmfWriter::withFrame(c.left, c.top, c.right, c.bottom));
        EXPECT_EQ(picture.width(), c.width);
        EXPECT_EQ(picture.height(), c.height);
        EXPECT_TRUE(allPixelsAre(picture, kWhite));
    }
}

TEST(EmfSize, AnEmptyFrameGivesAnEmptyPicture) {
    EXPECT_TRUE(play(EmfWriter::withFrame(0, 0, 0, 2540)).isEmpty());
}

TEST(EmfDrawing, FilledRectangleLeavesTheRestWhite) {
    EmfWriter emf(96, 72);
    emf.fillWith(1, kRed).rectangle(10, 10, 50, 40);
    const Bitmap24 picture = play(emf);
    EXPECT_TRUE(pixelsAre(picture, {{30, 25, kRed},
                                    {11, 11, kRed},
                                    {48, 38, kRed},
                                    {5, 5, kWhite},
                                    {60, 25, kWhite},
                                    {30, 50, kWhite},
                                    {95, 71, kWhite}}));
}

TEST(EmfDrawing, PolygonsFillOnlyTheirInside) {
    const Points triangle = {{10, 60}, {50, 10}, {90, 60}};
    const Points outer = {{10, 10}, {70, 10}, {70, 60}, {10, 60}};
    const Points inner = {{30, 25}, {50, 25}, {50, 45}, {30, 45}};
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> draw;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"POLYGON",
         [&](EmfWriter& e) { e.poly(emr::Polygon, triangle); },
         {{50, 40, kBlue}, {15, 15, kWhite}, {85, 15, kWhite}, {50, 65, kWhite}}},
        {"POLYGON16",
         [&](EmfWriter& e) { e.poly(emr::Polygon16, triangle); },
         {{50, 40, kBlue}, {15, 15, kWhite}, {85, 15, kWhite}}},
        {"POLYPOLYGON, alternate filling leaves the nested square open",
         [&](EmfWriter& e) {
             e.polyPolygon(emr::PolyPolygon, {outer, inner});
         },
         {{20, 20, kBlue}, {40, 35, kWhite}, {80, 35, kWhite}}},
        {"POLYPOLYGON16, winding filling fills the nested square",
         [&](EmfWriter& e) {
             e.record(emr::SetPolyFillMode, {2});
             e.polyPolygon(emr::PolyPolygon16, {outer, inner});
         },
         {{20, 20, kBlue}, {40, 35, kBlue}, {80, 35, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfWriter emf(96, 72);
        emf.fillWith(1, kBlue);
        c.draw(emf);
        const Bitmap24 picture = play(emf);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(EmfDrawing, PenWidthSetsTheLineThickness) {
    constexpr std::uint32_t kGeometricFlat = 0x00010000 | 0x00000200;
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> pen;
        int inked;  // rows this far from the line are drawn
        int clear;  // rows this far are not
    };
    const std::vector<Case> cases = {
        {"CREATEPEN width 0 is one pixel", [](EmfWriter& e) { e.createPen(1, 0, 0, kBlue); }, 0, 2},
        {"CREATEPEN width 9", [](EmfWriter& e) { e.createPen(1, 0, 9, kBlue); }, 3, 7},
        {"geometric EXTCREATEPEN width 15",
         [&](EmfWriter& e) { e.extCreatePen(1, kGeometricFlat, 15, kBlue); }, 6, 10},
        {"cosmetic EXTCREATEPEN is one pixel whatever its width",
         [](EmfWriter& e) { e.extCreatePen(1, 0, 15, kBlue); }, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfWriter emf(96, 72);
        c.pen(emf);
        emf.select(1).record(emr::MoveToEx, {10, 36}).record(emr::LineTo, {86, 36});
        const Bitmap24 picture = play(emf);
        EXPECT_TRUE(pixelsAre(picture, {{48, 36 - c.inked, kBlue},
                                        {48, 36 + c.inked, kBlue},
                                        {48, 36 - c.clear, kWhite},
                                        {48, 36 + c.clear, kWhite}}));
    }
}

TEST(EmfDrawing, FlatCapsEndAtTheLineEndsAndTheNullPenDrawsNothing) {
    EmfWriter emf(96, 72);
    emf.extCreatePen(1, 0x00010000 | 0x00000200, 15, kBlue).select(1);
    emf.record(emr::MoveToEx, {20, 20}).record(emr::LineTo, {76, 20});
    emf.createPen(2, 5, 9, kBlue).select(2);  // PS_NULL
    emf.record(emr::MoveToEx, {20, 50}).record(emr::LineTo, {76, 50});
    EXPECT_TRUE(pixelsAre(
        play(emf),
        {{21, 20, kBlue}, {75, 20, kBlue}, {16, 20, kWhite}, {80, 20, kWhite}, {48, 50, kWhite}}));
}

TEST(EmfDrawing, WorldTransformsPlaceFigures) {
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> setup;
        std::vector<int> box;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"set: scale 2, offset (10, 5)",
         [](EmfWriter& e) {
             e.transform(emr::SetWorldTransform, {2, 0, 0, 2, 10, 5});
         },
         {10, 10, 20, 20},
         {{40, 35, kRed}, {31, 26, kRed}, {15, 15, kWhite}, {55, 35, kWhite}}},
        {"set: a quarter turn",
         [](EmfWriter& e) {
             e.transform(emr::SetWorldTransform, {0, 1, -1, 0, 80, 0});
         },
         {10, 10, 50, 20},
         {{65, 30, kRed}, {30, 15, kWhite}}},
        {"modify, left multiply: the new transform acts first",
         [](EmfWriter& e) {
             e.transform(emr::SetWorldTransform, {1, 0, 0, 1, 5, 0});
             e.transform(emr::ModifyWorldTransform, {2, 0, 0, 2, 0, 0}, 2);
         },
         {10, 10, 20, 20},
         {{27, 30, kRed}, {47, 30, kWhite}}},
        {"modify, right multiply: the new transform acts last",
         [](EmfWriter& e) {
             e.transform(emr::SetWorldTransform, {1, 0, 0, 1, 5, 0});
             e.transform(emr::ModifyWorldTransform, {2, 0, 0, 2, 0, 0}, 3);
         },
         {10, 10, 20, 20},
         {{27, 30, kWhite}, {47, 30, kRed}}},
        {"modify to the identity",
         [](EmfWriter& e) {
             e.transform(emr::SetWorldTransform, {2, 0, 0, 2, 0, 0});
             e.transform(emr::ModifyWorldTransform, {9, 9, 9, 9, 9, 9}, 1);
         },
         {10, 10, 20, 20},
         {{15, 15, kRed}, {35, 35, kWhite}}},
        {"a transform that cannot be inverted is refused",
         [](EmfWriter& e) {
             e.transform(emr::SetWorldTransform, {0, 0, 0, 0, 30, 30});
         },
         {10, 10, 20, 20},
         {{15, 15, kRed}, {35, 35, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap24 picture = redRectangleAfter(96, 72, c.setup, c.box);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(EmfDrawing, MappingModesScaleLogicalUnits) {
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> setup;
        std::vector<int> box;
        std::vector<Probe> probes;
    };
    const auto mode = [](int m, std::vector<int> window, std::vector<int> viewport) {
        return [=](EmfWriter& e) {
            e.record(emr::SetMapMode, {m});
            e.record(emr::SetWindowExtEx, {window[0], window[1]});
            e.record(emr::SetViewportExtEx, {viewport[0], viewport[1]});
        };
    };
    std::vector<Case> cases = {
        {"anisotropic",
         mode(8, {1000, 1000}, {50, 50}),
         {400, 400, 800, 800},
         {{30, 30, kRed}, {10, 10, kWhite}, {45, 45, kWhite}}},
        {"anisotropic with origins",
         [&](EmfWriter& e) {
             mode(8, {1000, 1000}, {50, 50})(e);
             e.record(emr::SetWindowOrgEx, {200, 200});
             e.record(emr::SetViewportOrgEx, {50, 0});
         },
         {400, 400, 800, 800},
         {{70, 20, kRed}, {20, 20, kWhite}, {70, 40, kWhite}}},
        {"anisotropic stretches unevenly",
         mode(8, {100, 100}, {100, 50}),
         {20, 20, 60, 60},
         {{40, 20, kRed}, {40, 40, kWhite}}},
        {"isotropic keeps the aspect",
         mode(7, {100, 100}, {100, 50}),
         {20, 20, 60, 60},
         {{20, 20, kRed}, {40, 20, kWhite}}},
        {"MM_TEXT ignores the extents",
         mode(1, {100, 100}, {100, 50}),
         {20, 20, 60, 60},
         {{40, 40, kRed}, {70, 70, kWhite}}},
    };
    // The metric modes: y grows upwards, half an inch to an inch is 48 to 96 pixels.
    const std::vector<std::pair<int, int>> metric = {
        {2, 254}, {3, 2540}, {4, 100}, {5, 1000}, {6, 1440}};
    for (const auto& [m, perInch] : metric) {
        cases.push_back({"metric mode " + std::to_string(m),
                         [m](EmfWriter& e) { e.record(emr::SetMapMode, {m}); },
                         {perInch / 2, -perInch / 2, perInch, -perInch},
                         {{72, 72, kRed}, {50, 94, kRed}, {24, 24, kWhite}, {110, 110, kWhite}}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap24 picture = redRectangleAfter(120, 120, c.setup, c.box);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(EmfDrawing, RestoringTheContextBringsBackObjectsAndTransform) {
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> setup;
        Rgb expected;
    };
    const std::vector<Case> cases = {
        {"one level back",
         [](EmfWriter& e) {
             e.record(emr::SaveDc, {});
             e.createBrush(2, kBlue).select(2);
             e.transform(emr::SetWorldTransform, {1, 0, 0, 1, 40, 0});
             e.record(emr::RestoreDc, {-1});
         },
         kRed},
        {"an absolute level",
         [](EmfWriter& e) {
             e.record(emr::SaveDc, {});
             e.createBrush(2, kBlue).select(2).record(emr::SaveDc, {});
             e.createBrush(3, kGreen).select(3).record(emr::SaveDc, {});
             e.record(emr::RestoreDc, {2});
         },
         kBlue},
        {"a level that was never saved changes nothing",
         [](EmfWriter& e) {
             e.record(emr::SaveDc, {});
             e.createBrush(2, kBlue).select(2);
             e.record(emr::RestoreDc, {-5});
         },
         kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap24 picture = redRectangleAfter(96, 72, c.setup, {10, 10, 30, 30});
        EXPECT_TRUE(pixelsAre(picture, {{20, 20, c.expected}, {60, 20, kWhite}}));
    }
}

Bytes regionData(const std::vector<std::vector<int>>& rects) {
    Bytes region;
    region.u32(32)
        .u32(1)
        .u32(static_cast<std::uint32_t>(rects.size()))
        .u32(static_cast<std::uint32_t>(16 * rects.size()));
    region.i32(0).i32(0).i32(96).i32(72);
    for (const auto& r : rects) region.i32(r[0]).i32(r[1]).i32(r[2]).i32(r[3]);
    return region;
}

TEST(EmfDrawing, ClippingLimitsWhatIsPainted) {
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> setup;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"intersected rectangle",
         [](EmfWriter& e) {
             e.record(emr::IntersectClipRect, {20, 20, 40, 40});
         },
         {{30, 30, kRed}, {10, 10, kWhite}, {50, 50, kWhite}}},
        {"excluded rectangle",
         [](EmfWriter& e) {
             e.record(emr::ExcludeClipRect, {20, 20, 40, 40});
         },
         {{30, 30, kWhite}, {10, 10, kRed}, {50, 50, kRed}}},
        {"two intersections",
         [](EmfWriter& e) {
             e.record(emr::IntersectClipRect, {20, 20, 60, 60});
             e.record(emr::IntersectClipRect, {40, 40, 80, 80});
         },
         {{50, 50, kRed}, {30, 30, kWhite}, {70, 65, kWhite}}},
        {"region copied in device units",
         [](EmfWriter& e) {
             e.record(emr::ExtSelectClipRgn,
                      Bytes().u32(48).u32(5).append(regionData({{10, 10, 30, 30}})));
         },
         {{20, 20, kRed}, {50, 50, kWhite}}},
        {"a region without rectangles clips everything away",
         [](EmfWriter& e) {
             e.record(emr::ExtSelectClipRgn, Bytes().u32(32).u32(5).append(regionData({})));
         },
         {{5, 5, kWhite}, {30, 30, kWhite}}},
        {"no region with RGN_COPY removes the clipping",
         [](EmfWriter& e) {
             e.record(emr::IntersectClipRect, {20, 20, 40, 40});
             e.record(emr::ExtSelectClipRgn, Bytes().u32(0).u32(5));
         },
         {{5, 5, kRed}, {30, 30, kRed}}},
        {"restoring the context restores the clipping",
         [](EmfWriter& e) {
             e.record(emr::SaveDc, {});
             e.record(emr::IntersectClipRect, {20, 20, 40, 40});
             e.record(emr::RestoreDc, {-1});
         },
         {{5, 5, kRed}, {30, 30, kRed}}},
        {"a path as the clipping",
         [](EmfWriter& e) {
             e.record(emr::BeginPath, {});
             e.poly(emr::Polygon, {{10, 60}, {50, 10}, {90, 60}});
             e.record(emr::EndPath, {});
             e.record(emr::SelectClipPath, {5});
         },
         {{50, 40, kRed}, {15, 15, kWhite}, {85, 15, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bitmap24 picture = redRectangleAfter(96, 72, c.setup, {0, 0, 96, 72});
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(EmfDrawing, PathsAreFilledAndStroked) {
    const Bytes bounds = Bytes().i32(0).i32(0).i32(96).i32(72);
    struct Case {
        std::string name;
        bool closeFigure;
        std::uint32_t operation;  // 0: the path is only defined
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"FILLPATH", true, emr::FillPath, {{50, 40, kRed}, {50, 57, kRed}, {15, 15, kWhite}}},
        {"STROKEPATH",
         true,
         emr::StrokePath,
         {{50, 40, kWhite}, {50, 60, kBlue}, {30, 35, kBlue}, {15, 15, kWhite}}},
        {"STROKEPATH leaves an open figure open",
         false,
         emr::StrokePath,
         {{50, 60, kWhite}, {30, 35, kBlue}}},
        {"STROKEANDFILLPATH", true, emr::StrokeAndFillPath, {{50, 40, kRed}, {50, 60, kBlue}}},
        {"STROKEANDFILLPATH closes open figures",
         false,
         emr::StrokeAndFillPath,
         {{50, 40, kRed}, {50, 60, kBlue}}},
        {"no drawing without a path operation", true, 0, {{50, 40, kWhite}, {50, 60, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfWriter emf(96, 72);
        emf.createBrush(1, kRed).select(1).createPen(2, 0, 5, kBlue).select(2);
        emf.record(emr::BeginPath, {});
        emf.record(emr::MoveToEx, {10, 60}).record(emr::LineTo, {50, 10});
        emf.record(emr::LineTo, {90, 60});
        if (c.closeFigure) emf.record(emr::CloseFigure, {});
        emf.record(emr::EndPath, {});
        if (c.operation != 0) emf.record(c.operation, bounds);
        const Bitmap24 picture = play(emf);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(EmfDrawing, EllipsesChordsPiesAndArcs) {
    struct Case {
        std::string name;
        std::function<void(EmfWriter&)> draw;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"ellipse",
         [](EmfWriter& e) { e.ellipse(10, 10, 90, 90); },
         {{50, 50, kRed}, {50, 12, kRed}, {13, 13, kWhite}, {87, 87, kWhite}}},
        {"pie, counter-clockwise from three to twelve o'clock",
         [](EmfWriter& e) {
             e.record(emr::Pie, {10, 10, 90, 90, 90, 50, 50, 10});
         },
         {{70, 30, kRed}, {30, 30, kWhite}, {30, 70, kWhite}, {70, 70, kWhite}}},
        {"pie, clockwise",
         [](EmfWriter& e) {
             e.record(emr::SetArcDirection, {2});
             e.record(emr::Pie, {10, 10, 90, 90, 90, 50, 50, 10});
         },
         {{70, 30, kWhite}, {30, 30, kRed}, {30, 70, kRed}, {70, 70, kRed}}},
        {"chord over the upper half",
         [](EmfWriter& e) {
             e.record(emr::Chord, {10, 10, 90, 90, 90, 50, 10, 50});
         },
         {{50, 30, kRed}, {50, 70, kWhite}}},
        {"arc: only the outline of the quarter",
         [](EmfWriter& e) {
             e.createPen(2, 0, 3, kBlue).select(2);
             e.record(emr::Arc, {10, 10, 90, 90, 90, 50, 50, 10});
         },
         {{78, 22, kBlue}, {22, 78, kWhite}, {50, 50, kWhite}, {70, 30, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfWriter emf(96, 96);
        emf.fillWith(1, kRed);
        c.draw(emf);
        const Bitmap24 picture = play(emf);
        for (const Probe& p : c.probes) EXPECT_TRUE(pixelsAre(picture, {p}));
    }
}

TEST(EmfDrawing, HatchedBrushesShowTheBackgroundBetweenTheirLines) {
    for (const bool opaque : {false, true}) {
        SCOPED_TRACE(opaque ? "opaque background" : "transparent background");
        EmfWriter emf(96, 72);
        emf.createBrush(1, kBlue, 2, 0).select(1).select(kNullPen);  // horizontal hatch
        emf.record(emr::SetBkMode, {opaque ? 2 : 1});
        emf.record(emr::SetBkColor, {static_cast<std::int32_t>(colorRef(kGreen))});
        emf.rectangle(0, 0, 96, 72);
        const Bitmap24 picture = play(emf);
        const Rgb gap = opaque ? kGreen : kWhite;
        int lines = 0;
        int gaps = 0;
        for (int y = 0; y < 72; ++y) {
            const Rgb p = picture.pixel(40, y);
            lines += p == kBlue;
            gaps += p == gap;
            EXPECT_EQ(picture.pixel(70, y), p) << "row " << y;  // the lines run across
        }
        EXPECT_GT(lines, 3);
        EXPECT_GT(gaps, 30);
        EXPECT_EQ(lines + gaps, 72);
    }
}

TEST(EmfDrawing, UnknownRecordsAndEmfPlusCommentsAreSkipped) {
    EmfWriter emf(96, 72);
    emf.record(emr::GdiComment, Bytes().u32(12).ansi("EMF+").u32(0x4001).u32(0x12345678));
    emf.record(0x7777, {1, 2, 3, 4});
    emf.fillWith(1, kRed).rectangle(10, 10, 50, 40);
    EXPECT_TRUE(pixelsAre(play(emf), {{30, 25, kRed}, {60, 60, kWhite}}));
}

TEST(EmfDrawing, StockObjectsAndDeletedObjects) {
    EmfWriter emf(96, 72);
    emf.select(0x80000004).select(kNullPen).rectangle(10, 10, 30, 30);  // BLACK_BRUSH
    emf.createBrush(1, kRed).select(1).createBrush(2, kBlue);
    emf.record(emr::DeleteObject, {2}).select(2);  // an empty slot selects nothing
    emf.rectangle(50, 10, 70, 30);
    EXPECT_TRUE(pixelsAre(play(emf), {{20, 20, kBlack}, {60, 20, kRed}, {40, 50, kWhite}}));
}

const std::vector<Rgb> kQuadrants = {kRed, kGreen, kBlue, kYellow};

TEST(EmfBitmaps, StretchDiBitsDrawsEveryUncompressedFormat) {
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, " + (topDown ? "top-down" : "bottom-up"));
            const std::vector<Rgb> pixels =
                bits == 1 ? std::vector<Rgb>{kRed, kBlue, kBlue, kRed} : kQuadrants;
            EmfWriter emf(96, 72);
            emf.stretchDiBits(10, 10, 40, 40, makeDib(2, 2, bits, pixels, topDown));
            EXPECT_TRUE(pixelsAre(play(emf), {{20, 20, pixels[0]},
                                              {40, 20, pixels[1]},
                                              {20, 40, pixels[2]},
                                              {40, 40, pixels[3]},
                                              {5, 5, kWhite},
                                              {55, 55, kWhite}}));
        }
    }
}

TEST(EmfBitmaps, StretchDiBitsCountsSourceRowsFromTheBottomOfABottomUpBitmap) {
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        EmfWriter emf(96, 72);
        emf.stretchDiBits(0, 0, 10, 10, makeDib(2, 2, 24, kQuadrants, topDown), {1, 0, 1, 1});
        EXPECT_TRUE(pixelsAre(play(emf), {{5, 5, topDown ? kGreen : kYellow}, {20, 20, kWhite}}));
    }
}

TEST(EmfBitmaps, BitBltAndStretchBltCopyTheirSourceBitmap) {
    const DibParts dib = makeDib(2, 2, 24, kQuadrants);
    EmfWriter emf(96, 72);
    emf.blt(emr::BitBlt, {60, 10, 2, 2}, {0, 0}, dib);
    emf.blt(emr::StretchBlt, {10, 10, 40, 40}, {0, 0, 2, 2}, dib);
    emf.blt(emr::StretchBlt, {60, 40, 20, 20}, {1, 1, 1, 1}, dib);  // source rows from the top
    EXPECT_TRUE(pixelsAre(play(emf), {{60, 10, kRed},
                                      {61, 10, kGreen},
                                      {60, 11, kBlue},
                                      {61, 11, kYellow},
                                      {20, 20, kRed},
                                      {40, 40, kYellow},
                                      {70, 50, kYellow},
                                      {55, 5, kWhite}}));
}

TEST(EmfBitmaps, RasterOperationsCombineWithThePicture) {
    constexpr Rgb kOrange{255, 128, 0};
    struct Case {
        std::string name;
        std::uint32_t rop;
        Rgb expected;
    };
    const std::vector<Case> cases = {
        {"SRCCOPY", 0x00CC0020, kGreen},           {"SRCAND", 0x008800C6, {0, 128, 0}},
        {"SRCPAINT", 0x00EE0086, {255, 255, 0}},   {"SRCINVERT", 0x00660046, {255, 127, 0}},
        {"NOTSRCCOPY", 0x00330008, {255, 0, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfWriter emf(96, 72);
        emf.fillWith(1, kOrange).rectangle(0, 0, 96, 72);
        emf.stretchDiBits(10, 10, 20, 20, makeDib(1, 1, 24, {kGreen}), {}, c.rop);
        EXPECT_TRUE(pixelsAre(play(emf), {{20, 20, c.expected}, {5, 5, kOrange}}));
    }
}

TEST(EmfBitmaps, PatCopyWithoutASourceFillsWithTheBrush) {
    EmfWriter emf(96, 72);
    emf.createBrush(1, kBlue).select(1);
    emf.blt(emr::BitBlt, {10, 10, 20, 20}, {0, 0}, DibParts{}, kPatCopy);
    EXPECT_TRUE(pixelsAre(play(emf), {{20, 20, kBlue}, {40, 40, kWhite}}));
}

// Text is checked by where its ink falls, not by glyph shapes, which depend
// on the fonts the machine has.
EmfWriter textPicture(std::uint32_t align) {
    EmfWriter emf(240, 96);
    emf.createFont(1, -24, u"DejaVu Sans").select(1);
    emf.record(emr::SetTextAlign, {static_cast<std::int32_t>(align)});
    return emf;
}

TEST(EmfText, InkFallsWhereTheAlignmentPutsIt) {
    struct Case {
        std::string name;
        std::uint32_t align;
        int x, y;
        std::function<void(const InkBounds&)> check;
    };
    const std::vector<Case> cases = {
        {"left, top", 0, 20, 20,
         [](const InkBounds& ink) {
             EXPECT_GE(ink.left, 19);
             EXPECT_LE(ink.left, 26);
             EXPECT_GE(ink.top, 19);
             EXPECT_LE(ink.bottom, 48);
         }},
        {"right, top", 2, 200, 20,
         [](const InkBounds& ink) {
             EXPECT_LE(ink.right, 201);
             EXPECT_GE(ink.right, 192);
             EXPECT_GE(ink.top, 19);
             EXPECT_LE(ink.bottom, 48);
         }},
        {"centre, baseline", 6 | 24, 120, 60,
         [](const InkBounds& ink) {
             EXPECT_LT(ink.left, 120);
             EXPECT_GT(ink.right, 120);
             EXPECT_NEAR((ink.left + ink.right) / 2.0, 120, 4);
             EXPECT_LE(ink.bottom, 61);
             EXPECT_GE(ink.bottom, 57);
         }},
        {"left, bottom", 8, 20, 90,
         [](const InkBounds& ink) {
             EXPECT_LE(ink.bottom, 90);
             EXPECT_GE(ink.bottom, 78);
             EXPECT_GE(ink.top, 55);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfWriter emf = textPicture(c.align);
        emf.text(c.x, c.y, u"HHHH");
        const InkBounds ink = inkBounds(play(emf));
        ASSERT_GT(ink.count, 20);
        EXPECT_LT(ink.right - ink.left, 120);
        c.check(ink);
    }
}

TEST(EmfText, TextHasTheTextColour) {
    EmfWriter emf = textPicture(0);
    emf.record(emr::SetTextColor, {static_cast<std::int32_t>(colorRef(kRed))});
    emf.text(20, 20, u"HHHH");
    const Bitmap24 picture = play(emf);
    int red = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb p = picture.pixel(x, y);
            EXPECT_EQ(p.g, p.b) << "at " << x << ", " << y;  // shades of red on white only
            red += p == kRed;
        }
    }
    EXPECT_GT(red, 20);
}

TEST(EmfText, OptionsRectangleAndAdvances) {
    {
        SCOPED_TRACE("ETO_OPAQUE fills the rectangle with the background colour");
        EmfWriter emf = textPicture(0);
        emf.record(emr::SetBkColor, {static_cast<std::int32_t>(colorRef(kBlue))});
        emf.text(10, 10, u"", 0x0002, {20, 20, 60, 50});
        EXPECT_TRUE(pixelsAre(play(emf), {{40, 35, kBlue}, {10, 10, kWhite}, {70, 35, kWhite}}));
    }
    {
        SCOPED_TRACE("ETO_CLIPPED keeps the ink inside the rectangle");
        EmfWriter emf = textPicture(0);
        emf.text(20, 20, u"HHHHHHHH", 0x0004, {20, 10, 50, 60});
        const InkBounds ink = inkBounds(play(emf));
        EXPECT_GT(ink.count, 10);
        EXPECT_LE(ink.right, 50);
    }
    {
        SCOPED_TRACE("advances place each character");
        EmfWriter emf = textPicture(0);
        emf.text(20, 20, u"HH", 0, {}, {120, 10});
        const Bitmap24 picture = play(emf);
        const InkBounds ink = inkBounds(picture);
        EXPECT_GE(ink.right, 140);
        int middle = 0;
        for (int y = 0; y < picture.height(); ++y) middle += picture.pixel(90, y) != kWhite;
        EXPECT_EQ(middle, 0);
    }
    {
        SCOPED_TRACE("escapement turns the line upwards");
        EmfWriter emf(240, 96);
        emf.createFont(1, -24, u"DejaVu Sans", 900).select(1);
        emf.record(emr::SetTextAlign, {24});
        emf.text(60, 90, u"HHHH");
        const InkBounds ink = inkBounds(play(emf));
        EXPECT_GT(ink.count, 20);
        EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    }
}

}  // namespace
}  // namespace quillmere::test
