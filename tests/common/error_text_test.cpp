#include "common/error_text.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(ErrorBoxText, AppendsAPeriodOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(errorBoxText("Invalid GIF signature"), "Invalid GIF signature.");
    EXPECT_EQ(errorBoxText("Unknown picture file extension (.txt)"),
              "Unknown picture file extension (.txt)");
    EXPECT_EQ(errorBoxText("ends with a period."), "ends with a period.");
    EXPECT_EQ(errorBoxText("ends with a comma,"), "ends with a comma,");
    EXPECT_EQ(errorBoxText("JPEG error #53"), "JPEG error #53.");
    EXPECT_EQ(errorBoxText("slash/"), "slash/.");
    EXPECT_EQ(errorBoxText(""), "");
}

}  // namespace
}  // namespace quillmere
