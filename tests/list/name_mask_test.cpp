#include <gtest/gtest.h>

#include "common/app_error.h"
#include "list/name_mask.h"

namespace quillmere {
namespace {

struct MatchCase {
    const char16_t* mask;
    const char16_t* name;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << "mask \"" << QString::fromUtf16(c.mask).toStdString() << "\" name \""
        << QString::fromUtf16(c.name).toStdString() << "\"";
}

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

class NameMaskMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(NameMaskMatching, DecidesAsTheRulesSay) {
    const MatchCase& c = GetParam();
    const NameMask mask(QString::fromUtf16(c.mask));
    const QString name = QString::fromUtf16(c.name);
    EXPECT_EQ(mask.matches(QStringView(name)), c.matches);
    // The scan hands ASCII names over as bytes; both ways must agree.
    if (isAscii(name)) {
        const QByteArray latin1 = name.toLatin1();
        EXPECT_EQ(mask.matches(QLatin1StringView(latin1)), c.matches);
    }
}

INSTANTIATE_TEST_SUITE_P(AllNames, NameMaskMatching,
                         ::testing::Values(MatchCase{u"*.*", u"photo.jpg", true},
                                           MatchCase{u"*.*", u"README", true},
                                           MatchCase{u"*.*", u".hidden", true},
                                           MatchCase{u"*.*", u"\u00e9\U0001F600", true},
                                           // "*.*" is special only as the whole mask.
                                           MatchCase{u"a*.*", u"abc", false},
                                           MatchCase{u"*.**", u"abc", false}));

INSTANTIATE_TEST_SUITE_P(FormatPatterns, NameMaskMatching,
                         ::testing::Values(MatchCase{u"*.JPG", u"photo.jpg", true},
                                           MatchCase{u"*.JPG", u"PHOTO.JPG", true},
                                           MatchCase{u"*.JPG", u"Photo.Jpg", true},
                                           MatchCase{u"*.JPG", u"photo.jpeg", false},
                                           MatchCase{u"*.JPG", u"photo.jpg.bak", false},
                                           MatchCase{u"*.JPG", u"photojpg", false},
                                           MatchCase{u"*.JPG", u".jpg", true},
                                           MatchCase{u"*.JPG", u"a.b.jpg", true},
                                           MatchCase{u"*.TIFF", u"scan.tiff", true},
                                           MatchCase{u"*.TIFF", u"scan.tif", false},
                                           MatchCase{u"*.PNG", u"\u00e9t\u00e9.png", true}));

INSTANTIATE_TEST_SUITE_P(
    WholeNameAndStars, NameMaskMatching,
    ::testing::Values(MatchCase{u"a.jpg", u"a.jpg", true}, MatchCase{u"a.jpg", u"xa.jpg", false},
                      MatchCase{u"a.jpg", u"a.jpgx", false}, MatchCase{u"*", u"anything", true},
                      MatchCase{u"a*b", u"ab", true}, MatchCase{u"a*b", u"axyzb", true},
                      MatchCase{u"a*b", u"axyzbc", false}, MatchCase{u"a***b", u"ab", true},
                      MatchCase{u"*a*b*", u"xxaxxbxx", true},
                      MatchCase{u"*a*b*", u"xxbxxaxx", false}, MatchCase{u"*ab", u"aab", true},
                      MatchCase{u"*aab", u"aaab", true}, MatchCase{u"a*a*a", u"aa", false},
                      MatchCase{u"IMG_*.JPG", u"img_0001.jpg", true},
                      MatchCase{u"IMG_*.JPG", u"xIMG_1.JPG", false}));

INSTANTIATE_TEST_SUITE_P(
    QuestionMarks, NameMaskMatching,
    ::testing::Values(MatchCase{u"?", u"a", true}, MatchCase{u"?", u"ab", false},
                      MatchCase{u"a?c", u"abc", true}, MatchCase{u"a?c", u"ac", false},
                      MatchCase{u"??", u"\u00e9", false}, MatchCase{u"?", u"\u0101", true},
                      // A character beyond U+FFFF is one character.
                      MatchCase{u"?", u"\U0001F600", true}, MatchCase{u"??", u"\U0001F600", false},
                      MatchCase{u"x?y", u"x\U0001F600y", true},
                      // A "?" after "*" with only "*" or "?" between adds nothing.
                      MatchCase{u"*?", u"a", true}, MatchCase{u"a*?", u"a", true},
                      MatchCase{u"a*?b", u"ab", true}, MatchCase{u"a*?*?b", u"ab", true},
                      MatchCase{u"*?*?.jpg", u".jpg", true},
                      // A "?" before the "*" still takes one character.
                      MatchCase{u"a?*b", u"ab", false}, MatchCase{u"a?*b", u"axb", true},
                      MatchCase{u"a*x?b", u"axb", false}, MatchCase{u"a*x?b", u"axyb", true}));

INSTANTIATE_TEST_SUITE_P(
    Sets, NameMaskMatching,
    ::testing::Values(
        MatchCase{u"[abc].jpg", u"b.jpg", true}, MatchCase{u"[abc].jpg", u"d.jpg", false},
        MatchCase{u"[abc].jpg", u"B.JPG", true}, MatchCase{u"[ABC]", u"c", true},
        MatchCase{u"[a-c]x", u"bx", true}, MatchCase{u"[a-c]x", u"Bx", true},
        MatchCase{u"[a-c]x", u"cx", true}, MatchCase{u"[a-c]x", u"dx", false},
        MatchCase{u"[0-9][0-9]", u"42", true}, MatchCase{u"[0-9][0-9]", u"4a", false},
        // A range whose end comes before its start adds nothing.
        MatchCase{u"[c-a]x", u"bx", false}, MatchCase{u"[c-a]x", u"cx", false},
        MatchCase{u"[c-ax]y", u"xy", true},
        // Negation.
        MatchCase{u"[!a-c]x", u"dx", true}, MatchCase{u"[!a-c]x", u"bx", false},
        MatchCase{u"[!a-c]x", u"Bx", false}, MatchCase{u"[!!]", u"!", false},
        MatchCase{u"[!!]", u"?", true},
        // "-" before "]", "[" inside, "]" outside a set: ordinary characters.
        MatchCase{u"[a-]x", u"-x", true}, MatchCase{u"[a-]x", u"ax", true},
        MatchCase{u"[a-]x", u"bx", false}, MatchCase{u"[[]x", u"[x", true},
        MatchCase{u"]x", u"]x", true}, MatchCase{u"[*?]", u"?", true},
        MatchCase{u"[*?]", u"a", false},
        // Letters fold in ranges that span other characters: Z-a holds
        // Z [ \ ] ^ _ ` a, so z and A are members too.
        MatchCase{u"[Z-a]", u"\\", true}, MatchCase{u"[Z-a]", u"z", true},
        MatchCase{u"[Z-a]", u"A", true}, MatchCase{u"[Z-a]", u"b", false},
        // Only characters up to U+00FF can be members.
        MatchCase{u"[\u0100a]", u"\u0100", false}, MatchCase{u"[\u0100a]", u"a", true},
        MatchCase{u"[!a]", u"\u0100", true}, MatchCase{u"[!\u0100]", u"\u0100", true},
        MatchCase{u"[\u00e0-\u0101]", u"\u00ff", true},
        MatchCase{u"[\u00e0-\u0101]", u"\u0100", false}, MatchCase{u"[!a]", u"\U0001F600", true},
        MatchCase{u"[\u00e9]", u"\u00e9", true},
        // The end of the name is not a character.
        MatchCase{u"a[b]", u"a", false}, MatchCase{u"a[!b]", u"a", false},
        MatchCase{u"a*[!b]", u"a", false}, MatchCase{u"a*[!b]", u"ac", true}));

INSTANTIATE_TEST_SUITE_P(
    CaseFolding, NameMaskMatching,
    ::testing::Values(MatchCase{u"ABC", u"abc", true}, MatchCase{u"abc", u"ABC", true},
                      MatchCase{u"\u00e9.jpg", u"\u00e9.JPG", true},
                      MatchCase{u"\u00c9.jpg", u"\u00e9.jpg", false},
                      MatchCase{u"\u00e9.jpg", u"\u00c9.jpg", false},
                      MatchCase{u"[\u00e9]", u"\u00c9", false},
                      MatchCase{u"[\u00e0-\u00e9]", u"\u00c9", false},
                      MatchCase{u"\u0130", u"i", false}, MatchCase{u"k", u"\u212a", false},
                      MatchCase{u"\u00df", u"SS", false}, MatchCase{u"@", u"`", false},
                      MatchCase{u"]", u"}", false}));

struct InvalidCase {
    QString mask;
    int position;
};

void PrintTo(const InvalidCase& c, std::ostream* os) {
    *os << "mask \"" << c.mask.toStdString() << "\"";
}

QString repeated(const QString& piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

class InvalidNameMask : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidNameMask, NamesTheMaskAndThePosition) {
    const InvalidCase& c = GetParam();
    try {
        NameMask mask(c.mask);
        FAIL() << "no error";
    } catch (const InvalidPictureError&) {
        FAIL() << "an invalid-picture error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("'%1' is an invalid mask at (%2)")
                                       .arg(c.mask, QString::number(c.position)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, InvalidNameMask,
    ::testing::Values(
        // Unclosed: found at the end, one past the last character.
        InvalidCase{"[abc", 5}, InvalidCase{"[", 2}, InvalidCase{"a[", 3}, InvalidCase{"[!", 3},
        InvalidCase{"[a-", 4}, InvalidCase{"*.[jp", 6}, InvalidCase{"[a-c", 5},
        // Empty: found at its "]".
        InvalidCase{"[]", 2}, InvalidCase{"[!]", 3}, InvalidCase{"x[]y", 3}, InvalidCase{"[]]", 2},
        // First member beginning with "-": found at the "-".
        InvalidCase{"[-a]", 2}, InvalidCase{"[!-a]", 3}, InvalidCase{"ab[-]", 4},
        // The first fault from the left is the one reported.
        InvalidCase{"[!]a[", 3}, InvalidCase{"[ab]c[", 7}, InvalidCase{"*[]*[", 3}));

INSTANTIATE_TEST_SUITE_P(StarRuns, InvalidNameMask,
                         ::testing::Values(
                             // The 31st run is found at its first "*".
                             InvalidCase{repeated("*a", 31), 61},
                             InvalidCase{repeated("*a", 30) + "*", 61},
                             InvalidCase{repeated("*?*a", 31), 121},
                             InvalidCase{repeated("a*", 40), 62},
                             InvalidCase{repeated("*a", 31) + "[", 61}));

TEST(NameMask, ThirtyRunsOfStarsAreAllowed) {
    const NameMask thirty(repeated("*a", 30));
    EXPECT_TRUE(thirty.matches(QStringView(repeated("xa", 30))));
    EXPECT_FALSE(thirty.matches(QStringView(repeated("xa", 29))));

    // Adjacent "*" and "?" belong to one run.
    const NameMask runs(repeated("*?**?a", 30));
    EXPECT_TRUE(runs.matches(QStringView(repeated("a", 30))));

    // "?" before a "*" does not start a run of its own.
    EXPECT_NO_THROW({
        const NameMask questionFirst(repeated("?*a", 30));
        EXPECT_TRUE(questionFirst.matches(QStringView(repeated("xa", 30))));
    });
}

}  // namespace
}  // namespace quillmere
