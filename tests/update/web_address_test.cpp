#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "update/web_address.h"

namespace quillmere {
namespace {

TEST(WebAddressTest, OnlyHttpAndHttpsAddressesAreWebAddresses) {
    const struct {
        const char* address;
        bool web;
    } cases[] = {
        {"http://example.org/tool", true},
        {"https://example.org/tool?v=1.3#top", true},
        {"HTTPS://Example.org/Tool", true},
        {"hTtP://127.0.0.1:8080/wiki", true},
        {"", false},
        {"   ", false},
        {"www.example.org", false},
        {"  not a web address  ", false},
        {"/home/u/page.html", false},
        {"file:///etc/passwd", false},
        {"FILE:///home/u/evil.desktop", false},
        {"smb://nas/share/setup.exe", false},
        {"javascript:alert(1)", false},
        {"mailto:someone@example.org", false},
        {"quillmere-handler://run?x=1", false},
        {"data:text/html,<p>hi</p>", false},
        {"httpx://example.org/", false},
        {"http:/example.org", false},
        {"https:///etc/passwd", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isWebAddress(c.address), c.web) << c.address;
}

TEST(WebAddressTest, AnythingElseOpensTheDefaultPage) {
    const QString fallback = QStringLiteral("http://nas/wiki/Quillmere");
    const struct {
        const char* releasePage;
        QString opened;
    } cases[] = {
        {"https://example.org/tool", "https://example.org/tool"},
        {"", fallback},
        {"file:///etc/passwd", fallback},
        {"javascript:alert(1)", fallback},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(webPageToOpen(c.releasePage, fallback), c.opened) << c.releasePage;
    }
}

}  // namespace
}  // namespace quillmere
