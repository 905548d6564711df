#include "common/staged_file.h"

#include <gtest/gtest.h>

#include <QString>

namespace quillmere {
namespace {

QByteArray repeated(const char* piece, int times) {
    return QByteArray(piece).repeated(times);
}

TEST(StagedFileName, IsHiddenAndCutToFitTheFolder) {
    const QByteArray e = "\xC3\xA9";              // two bytes
    const QByteArray han = "\xE7\x85\xA7";        // three bytes
    const QByteArray smile = "\xF0\x9F\x98\x80";  // four bytes
    const struct {
        const char* what;
        QByteArray name;
        long nameMax;
        qsizetype kept;  // how much of the name stays
    } cases[] = {
        {"short", "a.bmp", 255, 5},
        {"just fits", repeated("a", 242), 255, 242},
        {"one byte over", repeated("a", 243), 255, 242},
        {"longest", repeated("a", 255), 255, 242},
        {"two-byte characters", repeated("x", 1) + e.repeated(127), 255, 241},
        {"three-byte characters", han.repeated(85), 255, 240},
        {"four-byte characters", smile.repeated(63), 255, 240},
        {"four-byte character at the cut", repeated("ab", 120) + "x" + smile + "tail", 255, 241},
        {"bytes that are no UTF-8", repeated("\x80", 255), 255, 239},
        {"a small folder limit", "picture.bmp", 14, 1},
        {"a tiny folder limit", "picture.bmp", 10, 0},
    };
    const QByteArray tag = "abcdefg";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray staged = stagedNameFor(c.name, tag, c.nameMax);
        EXPECT_EQ(staged, '.' + c.name.left(c.kept) + ".abcdefg.tmp");
        if (c.nameMax >= 13) {
            EXPECT_LE(staged.size(), c.nameMax);
        }
        if (QString::fromUtf8(c.name).toUtf8() == c.name) {
            EXPECT_EQ(QString::fromUtf8(staged).toUtf8(), staged) << "a character was cut";
        }
    }
}

}  // namespace
}  // namespace quillmere
