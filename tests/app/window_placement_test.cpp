#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/key_codes.h"
#include "app/settings_location.h"
#include "support/qt_printers.h"

namespace quillmere {

// Found by GoogleTest beside the type it prints.
void PrintTo(const Placement& p, std::ostream* out) {
    *out << p.left << ',' << p.top << ' ' << p.width << 'x' << p.height;
}

namespace {

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

TEST(KeepOnVirtualScreen, ChecksEdgesInOrder) {
    const QSize screen(1920, 1080);
    const struct {
        Placement window;
        QRect kept;
    } cases[] = {
        {{100, 50, 857, 1000}, {100, 50, 857, 1000}},    // fits
        {{100, 50, 2500, 600}, {0, 50, 1920, 600}},      // too wide: left 0, then width cut
        {{-50, 10, 800, 600}, {0, 10, 800, 600}},        // left raised to 0
        {{10, -50, 800, 1100}, {10, -50, 800, 1100}},    // top kept; height up to DH + 50
        {{10, -50, 800, 1200}, {10, 0, 800, 1080}},      // bottom past: top 0, height cut
        {{1800, 900, 400, 300}, {1520, 780, 400, 300}},  // moved back onto the screen
        {{0, 0, 3000, 2000}, {0, 0, 1920, 1080}},
        {{0, -999, 800, 1000}, {0, -999, 800, 1000}},  // one row still on the screen
        {{0, -1000, 800, 1000}, {0, 0, 800, 1000}},    // wholly above the screen: top 0
        {{1920, 1080, 0, 0}, {1919, 1079, 1, 1}},      // no size: one pixel, on the screen
        {{100, 100, -20, -30}, {100, 100, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.window));
        EXPECT_EQ(keepOnVirtualScreen(c.window, screen), c.kept);
    }
}

TEST(KeepOnVirtualScreen, AnyThirtyTwoBitValuesEndOnTheScreen) {
    const QSize screen(1920, 1080);
    const struct {
        Placement window;
        QRect kept;
    } cases[] = {
        {{kMax, 10, kMax, 600}, {0, 10, 1920, 600}},
        {{kMax, kMax, 800, 600}, {1120, 480, 800, 600}},
        {{kMin, kMin, 800, 600}, {0, 0, 800, 600}},
        {{kMin, kMin, kMax, kMax}, {0, 0, 1920, 1080}},
        {{kMax, kMin, kMax, kMax}, {0, 0, 1920, 1080}},
        {{kMax, kMax, kMax, kMax}, {0, 0, 1920, 1080}},
        {{kMin, -50, kMax, 1100}, {0, -50, 1920, 1100}},
        {{-1, kMin + 1, 1, kMax}, {0, 0, 1, 1080}},
        {{100, 100, kMin, kMin}, {100, 100, 1, 1}},
        {{kMax, kMax, kMin, kMin}, {1919, 1079, 1, 1}},
        {{kMin, kMin, kMin, kMin}, {0, 0, 1, 1}},
        {{0, kMin, 800, kMax}, {0, 0, 800, 1080}},
        {{0, kMin + 1080, 800, kMax}, {0, kMin + 1080, 800, kMax}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.window));
        const QRect kept = keepOnVirtualScreen(c.window, screen);
        EXPECT_EQ(kept, c.kept);
        // Across the screen's width, and from below its top to its bottom.
        EXPECT_GE(kept.left(), 0);
        EXPECT_LT(kept.right(), screen.width());
        EXPECT_GE(kept.bottom(), 0);
        EXPECT_LT(kept.bottom(), screen.height());
    }
}

TEST(WithRemembered, PutsInTheValuesThatAreThere) {
    const QRect current(30, 40, 857, 1000);
    const struct {
        RememberedPlacement remembered;
        Placement placed;
    } cases[] = {
        {{}, {30, 40, 857, 1000}},
        {{10, 20, 300, 400}, {20, 10, 300, 400}},
        {{-50, std::nullopt, std::nullopt, 600}, {30, -50, 857, 600}},
        {{std::nullopt, 5, 700, std::nullopt}, {5, 40, 700, 1000}},
        // The settings may hold any 32-bit value; each is taken as it is.
        {{kMax, kMax, kMax, kMax}, {kMax, kMax, kMax, kMax}},
        {{kMin, kMax, kMax, kMin}, {kMax, kMin, kMax, kMin}},
        {{kMin, kMin, std::nullopt, std::nullopt}, {kMin, kMin, 857, 1000}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withRemembered(current, c.remembered), c.placed);
    }
    EXPECT_FALSE(RememberedPlacement{}.hasPosition());
    EXPECT_FALSE((RememberedPlacement{std::nullopt, std::nullopt, 1, 1}.hasPosition()));
    EXPECT_TRUE((RememberedPlacement{1, std::nullopt, std::nullopt, std::nullopt}.hasPosition()));
    EXPECT_TRUE((RememberedPlacement{std::nullopt, 0, std::nullopt, std::nullopt}.hasPosition()));
}

TEST(WindowsKeyCodes, MapQtKeys) {
    const struct {
        int qt;
        int windows;
    } cases[] = {
        {Qt::Key_Delete, 46}, {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},
        {Qt::Key_Left, 37},   {Qt::Key_Down, 40},     {Qt::Key_A, 65},       {Qt::Key_Z, 90},
        {Qt::Key_0, 48},      {Qt::Key_9, 57},        {Qt::Key_F1, 112},     {Qt::Key_F12, 123},
        {Qt::Key_Home, 36},   {Qt::Key_End, 35},      {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34},
        {Qt::Key_Insert, 45}, {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}};
    for (const auto& c : cases) EXPECT_EQ(windowsKeyCode(c.qt), c.windows) << c.qt;
}

TEST(SettingsLocation, ReplacesTheExecutableExtension) {
    EXPECT_EQ(settingsPathBeside("/opt/tools/convert.exe"), "/opt/tools/convert.ini");
    EXPECT_EQ(settingsPathBeside("/usr/bin/quillmere"), "/usr/bin/quillmere.ini");
    EXPECT_EQ(settingsPathBeside("/a.b/quillmere"), "/a.b/quillmere.ini");
    EXPECT_EQ(settingsPathBeside("/x/q.tar.gz"), "/x/q.tar.ini");
}

}  // namespace
}  // namespace quillmere
