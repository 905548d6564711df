#include "update/release_server.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

TEST(SettingsFileTest, ReadsTheBaseUrlOverride) {
    const test::Sandbox sandbox;
    const QString builtIn = QStringLiteral("http://built.in/NAS_file_Share/");
    const struct {
        const char* what;
        QByteArray content;
        const char* expected;
    } cases[] = {
        {"plain", "[Update]\nBaseURL=http://a/NAS_file_Share/\n", "http://a/NAS_file_Share/"},
        {"any case, blanks, CR LF",
         "[File]\r\nLast=x\r\n [ update ] \r\n  baseurl = http://b/NAS_file_Share/  \r\n",
         "http://b/NAS_file_Share/"},
        {"byte-order mark", "\xEF\xBB\xBF[Update]\nBaseURL=http://c/\n", "http://c/"},
        {"first key wins", "[Update]\nBaseURL=http://d/\nBaseURL=http://e/\n", "http://d/"},
        {"first section only", "[Update]\nOther=1\n[Update]\nBaseURL=http://f/\n",
         "http://built.in/NAS_file_Share/"},
        {"other section", "[File]\nBaseURL=http://g/\n", "http://built.in/NAS_file_Share/"},
        {"empty value", "[Update]\nBaseURL=\n", "http://built.in/NAS_file_Share/"},
        {"value keeps its inner '='", "[Update]\nBaseURL=http://h/?a=b\n", "http://h/?a=b"},
        {"no file", QByteArray(), "http://built.in/NAS_file_Share/"},
    };
    for (const auto& c : cases) {
        const QString path = c.content.isNull() ? sandbox.path("absent.ini")
                                                : sandbox.write("settings.ini", c.content);
        EXPECT_EQ(configuredReleaseServer(path, builtIn), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace quillmere
