#include <gtest/gtest.h>

#include "list/absolute_path.h"

namespace quillmere {
namespace {

struct AbsoluteCase {
    const char16_t* path;
    const char16_t* currentDirectory;
    const char16_t* absolute;
};

class AbsoluteForm : public ::testing::TestWithParam<AbsoluteCase> {};

TEST_P(AbsoluteForm, WorksOnTheTextAlone) {
    const AbsoluteCase& c = GetParam();
    EXPECT_EQ(absoluteForm(QString::fromUtf16(c.path), QString::fromUtf16(c.currentDirectory)),
              QString::fromUtf16(c.absolute));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AbsoluteForm,
    ::testing::Values(
        // Absolute texts ignore the current directory.
        AbsoluteCase{u"/a/b", u"/elsewhere", u"/a/b"}, AbsoluteCase{u"/a/b/", u"", u"/a/b/"},
        AbsoluteCase{u"/", u"/elsewhere", u"/"},
        // Relative texts are joined to it.
        AbsoluteCase{u"pics", u"/home/u", u"/home/u/pics"},
        AbsoluteCase{u"pics/", u"/home/u", u"/home/u/pics/"}, AbsoluteCase{u"pics", u"/", u"/pics"},
        AbsoluteCase{u"pics", u"/home/u/", u"/home/u/pics"},
        AbsoluteCase{u" pics", u"/h", u"/h/ pics"}, AbsoluteCase{u"...", u"/h", u"/h/..."},
        // "." and ".." are resolved on the text; links are not looked at.
        AbsoluteCase{u".", u"/h", u"/h"}, AbsoluteCase{u"./", u"/h", u"/h/"},
        AbsoluteCase{u"..", u"/h/u", u"/h"}, AbsoluteCase{u"./pics/./x", u"/h", u"/h/pics/x"},
        AbsoluteCase{u"../x", u"/h/u", u"/h/x"}, AbsoluteCase{u"link/..", u"/h", u"/h"},
        AbsoluteCase{u"a/../", u"/h", u"/h/"}, AbsoluteCase{u"../../../x", u"/h", u"/x"},
        AbsoluteCase{u"/..", u"", u"/"}, AbsoluteCase{u"/a/b/../../..", u"", u"/"},
        AbsoluteCase{u"/a/.", u"", u"/a"},
        // Repeated slashes count as one.
        AbsoluteCase{u"a//b", u"/h", u"/h/a/b"}, AbsoluteCase{u"//a///", u"", u"/a/"}));

}  // namespace
}  // namespace quillmere
