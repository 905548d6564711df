#include "common/path_encoding.h"

#include <gtest/gtest.h>

#include <random>

#include "support/qt_printers.h"

namespace quillmere {
namespace {

TEST(PathEncoding, ValidUtf8IsPlainText) {
    for (const char* name : {"", "photo.jpg", "caf\xC3\xA9.png", "\xE6\x97\xA5\xE6\x9C\xAC.gif",
                             "\xF0\x9F\x98\x80.bmp"}) {
        EXPECT_EQ(decodePath(name), QString::fromUtf8(name)) << name;
        EXPECT_EQ(encodePath(QString::fromUtf8(name)), QByteArray(name)) << name;
    }
}

TEST(PathEncoding, InvalidBytesRoundTrip) {
    const QByteArray cases[] = {
        "caf\xE9.png",             // Latin-1
        "\xFF",                    // never valid
        "\xC3",                    // cut short
        "\xC0\xAF",                // overlong
        "\xED\xA0\x80",            // an encoded surrogate
        "\xF4\x90\x80\x80",        // beyond U+10FFFF
        "ok\xE2\x82\xAC\x80tail",  // valid, then a stray continuation byte
    };
    for (const QByteArray& bytes : cases) {
        const QString text = decodePath(bytes);
        EXPECT_EQ(encodePath(text), bytes) << bytes.toHex().toStdString();
        EXPECT_NE(text, QString::fromUtf8(bytes)) << "escaped, not replaced";
    }
    EXPECT_EQ(decodePath("caf\xE9.png"), QString("caf") + QChar(0xDCE9) + ".png");
}

TEST(PathEncoding, EveryByteStringRoundTrips) {
    std::mt19937 random(42);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(static_cast<qsizetype>(random() % 12), '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 255 + 1);
        ASSERT_EQ(encodePath(decodePath(bytes)), bytes) << bytes.toHex().toStdString();
    }
}

TEST(PathEncoding, RealCharactersBesideEscapesSurvive) {
    const QString text = QString::fromUtf8("\xF0\x9F\x98\x80") + QChar(0xDC80);
    EXPECT_EQ(encodePath(text), QByteArray("\xF0\x9F\x98\x80\x80"));
}

TEST(FileUrisTest, AUriIsMadeFromTheNamesBytes) {
    const struct {
        QByteArray path;
        const char* uri;
    } cases[] = {
        {"/tmp/a.png", "file:///tmp/a.png"},
        {"/tmp/caf\xC3\xA9 1.png", "file:///tmp/caf%C3%A9%201.png"},
        {"/tmp/caf\xE9.png", "file:///tmp/caf%E9.png"},  // not UTF-8
        {"/tmp/100%.png", "file:///tmp/100%25.png"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileUriOf(decodePath(c.path)), QString::fromLatin1(c.uri)) << c.uri;
    }
}

}  // namespace
}  // namespace quillmere
