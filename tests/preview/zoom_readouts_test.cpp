#include "preview/zoom_readouts.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace quillmere {
namespace {

TEST(ZoomRateText, RoundsHalfAwayFromZeroOnSeventeenDigits) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const struct {
        double percent;
        const char* text;
    } cases[] = {
        {100.0, "100.00%"},
        {3.125, "3.13%"},
        {12.345, "12.35%"},
        {100.0 / 3, "33.33%"},
        {0.0, "0.00%"},
        {0.004, "0.00%"},
        {0.005, "0.01%"},
        {99.995, "100.00%"},
        {11485.0, "11485.00%"},
        {1.0 / 3, "0.33%"},
        {2.675, "2.67%"} /* 2.67499999999999982 */,
        {1e-9, "0.00%"},
        {120.00000476837158, "120.00%"},
        {9.999, "10.00%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zoomRateText(c.percent, english), QString(c.text)) << c.percent;
}

TEST(ZoomRateText, UsesTheLocaleDecimalSeparator) {
    EXPECT_EQ(zoomRateText(50, QLocale(QLocale::German, QLocale::Germany)), "50,00%");
    EXPECT_EQ(zoomRateText(50, QLocale(QLocale::French, QLocale::France)), "50,00%");
}

TEST(SizeTexts, PadToTheirFieldWidthsButNeverCut) {
    EXPECT_EQ(imageSizeText(640, 480), "Size:  640* 480");
    EXPECT_EQ(imageSizeText(12345, 67), "Size: 12345*  67");
    EXPECT_EQ(imageSizeText(0, 0), "Size:    0*   0");
    EXPECT_EQ(controlSizeText(158, 96), "w:158 h: 96");
    EXPECT_EQ(controlSizeText(1024, 768), "w:1024 h:768");
    EXPECT_EQ(controlSizeText(5, 7), "w:  5 h:  7");
}

}  // namespace
}  // namespace quillmere
