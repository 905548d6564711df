#include "app/application_title.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstDotLowerCasedAfterTheFirstLetter) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"/usr/bin/quillmere", "quillmere"},
        {"/opt/QuillMere.exe", "Quillmere"},
        {"/x/ABC.DEF.exe", "Abc"},
        {"/x.y/Tool", "Tool"},
        {"relative/QM", "Qm"},
    };
    for (const auto& c : cases) EXPECT_EQ(applicationTitleFor(c.path), QString(c.title)) << c.path;
}

}  // namespace
}  // namespace quillmere
