#include <gtest/gtest.h>

#include "list/search_pattern.h"

namespace quillmere {
namespace {

struct SplitCase {
    const char16_t* text;
    const char16_t* directory;
    const char16_t* fileName;
};

class SearchPatternSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SearchPatternSplit, SplitsAtTheLastSlash) {
    const SplitCase& c = GetParam();
    const QString text = QString::fromUtf16(c.text);
    const SearchPattern split = splitSearchPattern(text);
    EXPECT_EQ(split.directory, QString::fromUtf16(c.directory));
    EXPECT_EQ(split.fileName, QString::fromUtf16(c.fileName));
    EXPECT_EQ(split.directory + split.fileName, text);
}

INSTANTIATE_TEST_SUITE_P(Texts, SearchPatternSplit,
                         ::testing::Values(SplitCase{u"photos/*.JPG", u"photos/", u"*.JPG"},
                                           SplitCase{u"/home/u/pics/*.JPG", u"/home/u/pics/",
                                                     u"*.JPG"},
                                           SplitCase{u"*.JPG", u"", u"*.JPG"},
                                           SplitCase{u"/pics//*.PNG", u"/pics//", u"*.PNG"},
                                           SplitCase{u"pics/", u"pics/", u""},
                                           SplitCase{u"/", u"/", u""}, SplitCase{u"", u"", u""},
                                           SplitCase{u"pics/IMG_*.JPG", u"pics/", u"IMG_*.JPG"},
                                           SplitCase{u"a*.b/c*.d/x", u"a*.b/c*.d/", u"x"},
                                           // Backslash and colon are ordinary name characters.
                                           SplitCase{u"C:\\pics\\*.JPG", u"", u"C:\\pics\\*.JPG"},
                                           SplitCase{u"d:/x\\y:*.GIF", u"d:/", u"x\\y:*.GIF"}));

TEST(SearchPattern, IsScannableOnlyWithStarDotAnywhere) {
    const struct {
        const char16_t* text;
        bool scannable;
    } cases[] = {
        {u"pics/*.JPG", true},   {u"*.", true},      {u"pics/x*.y/a.jpg", true},
        {u"pics/", false},       {u"pics/*", false}, {u"pics/.*", false},
        {u"pics/* .JPG", false}, {u"", false},       {u"pics/a.jpg", false},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(isScannable(text), c.scannable) << text.toStdString();
    }
}

TEST(SearchPattern, PatternForFormatPutsStarDotBeforeTheItem) {
    EXPECT_EQ(patternForFormat(QStringLiteral("JPG")), QStringLiteral("*.JPG"));
    EXPECT_EQ(patternForFormat(QStringLiteral("TIFF")), QStringLiteral("*.TIFF"));
    EXPECT_TRUE(isScannable(QStringLiteral("pics/") + patternForFormat(QStringLiteral("BMP"))));
}

}  // namespace
}  // namespace quillmere
