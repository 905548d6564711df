#include "common/lenient_int.h"

#include <gtest/gtest.h>

#include <QString>

namespace quillmere {
namespace {

struct LenientCase {
    const char16_t* text;
    std::int32_t expected;
};

class LenientIntTest : public ::testing::TestWithParam<LenientCase> {};

TEST_P(LenientIntTest, ReadsLikeTheQualityField) {
    EXPECT_EQ(readLenientInt(QStringView(GetParam().text)), GetParam().expected)
        << QString::fromUtf16(GetParam().text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientIntTest,
    ::testing::Values(LenientCase{u"90", 90}, LenientCase{u"   90", 90}, LenientCase{u"90 ", 0},
                      LenientCase{u"", 0}, LenientCase{u"abc", 0}, LenientCase{u"-5", -5},
                      LenientCase{u"+7", 7}, LenientCase{u"$50", 80}, LenientCase{u"x1F", 31},
                      LenientCase{u"X1f", 31}, LenientCase{u"0x10", 16}, LenientCase{u"0X10", 16},
                      LenientCase{u"-$10", -16}, LenientCase{u"$FFFFFFFF", -1},
                      LenientCase{u"$100000000", 0}, LenientCase{u"$", 0}, LenientCase{u"0x", 0},
                      LenientCase{u"-", 0}, LenientCase{u"2147483647", 2147483647},
                      LenientCase{u"2147483648", 0}, LenientCase{u"-2147483648", INT32_MIN},
                      LenientCase{u"-2147483649", 0}, LenientCase{u"99999999999999999999", 0},
                      LenientCase{u"0", 0}, LenientCase{u"007", 7}, LenientCase{u"\t5", 0},
                      LenientCase{u"1.5", 0}, LenientCase{u"256", 256}));

TEST(LenientIntFallback, IsReturnedForUnreadableText) {
    EXPECT_EQ(readLenientInt(u"oops", 42), 42);
    EXPECT_EQ(readLenientInt(u"12", 42), 12);
}

}  // namespace
}  // namespace quillmere
