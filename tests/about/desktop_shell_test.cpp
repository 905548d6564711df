#include "about/desktop_shell.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "update/web_address.h"

namespace quillmere {
namespace {

TEST(ShellOpenTest, LocalPathsBecomeFileUrls) {
    const struct {
        const char* target;
        const char* url;
    } cases[] = {
        {"/home/u/bin/Tool 1.3.exe", "file:///home/u/bin/Tool%201.3.exe"},
        {"http://example.org/wiki/Page", "http://example.org/wiki/Page"},
        {"mailto:someone@example.org", "mailto:someone@example.org"},
        {"www.example.org", "http://www.example.org"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shellUrlFor(c.target).toString(QUrl::FullyEncoded), c.url);
}

// What the web button lets through reaches the desktop shell as that web
// address.
TEST(ShellOpenTest, WebAddressesStayWebAddresses) {
    for (const char* address : {"http://example.org/tool", "https://example.org/tool?v=1.3#top",
                                "HTTPS://Example.org/Tool", "hTtP://127.0.0.1:8080/wiki"}) {
        ASSERT_TRUE(isWebAddress(address)) << address;
        const QString scheme = shellUrlFor(address).scheme();
        EXPECT_TRUE(scheme == "http" || scheme == "https") << address;
    }
}

}  // namespace
}  // namespace quillmere
