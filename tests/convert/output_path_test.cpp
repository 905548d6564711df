#include "convert/output_path.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(OutputPath, ReplacesTheFileNameExtensionOnly) {
    const struct {
        const char* source;
        const char* format;
        const char* expected;
    } cases[] = {
        {"/pics/a.png", "JPG", "/pics/a.jpg"},   {"/pics/a.b.PNG", "TIFF", "/pics/a.b.tiff"},
        {"/x.jpg/y.jpg", "GIF", "/x.jpg/y.gif"}, {"/x.jpg/noext", "BMP", "/x.jpg/noext.bmp"},
        {"/pics/.hidden", "PNG", "/pics/.png"},  {"/pics/trailing.", "PNG", "/pics/trailing.png"},
        {"relative.gif", "JPG", "relative.jpg"}, {"/pics/a.jpg", "JPG", "/pics/a.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outputPathFor(c.source, c.format), QString(c.expected)) << c.source;
    }
}

}  // namespace
}  // namespace quillmere
