#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "update/redirect_rule.h"

namespace quillmere {
namespace {

// A download that starts on HTTPS must never be redirected down to plain
// HTTP; one that starts on HTTP may move up.
TEST(RedirectRuleTest, HttpsStaysOnHttps) {
    const struct {
        const char* start;
        const char* protocols;
    } cases[] = {
        {"https://nas/NAS_file_Share/quillmere/index.json", "https"},
        {"HTTPS://nas/quillmere/", "https"},
        {"hTTpS://nas/", "https"},
        {"http://nas/NAS_file_Share/quillmere/index.json", "http,https"},
        {"HTTP://nas/", "http,https"},
        {"Http://127.0.0.1:8080/", "http,https"},
        {"ftp://nas/", "https"},
        {"httpx://nas/", "https"},
        {"nas/quillmere/", "https"},
        {"", "https"},
    };
    for (const auto& c : cases) EXPECT_EQ(redirectProtocolsFor(c.start), c.protocols) << c.start;
}

}  // namespace
}  // namespace quillmere
