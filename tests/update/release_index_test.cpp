#include <gtest/gtest.h>

#include <QStringEncoder>

#include "common/app_error.h"
#include "support/qt_printers.h"
#include "update/json_members.h"
#include "update/release_index.h"

namespace quillmere {
namespace {

QByteArray encoded(QStringConverter::Encoding encoding, const QString& text) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

TEST(ReleaseIndexDecodingTest, AByteOrderMarkChoosesTheEncoding) {
    const QString text =
        QStringLiteral("{\"file_name\":\"T\u00f6ol.exe\",\"website\":\"\u65e5\u672c\"}");
    const struct {
        const char* what;
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF" + text.toUtf8(), text},
        {"UTF-16 LE mark", "\xFF\xFE" + encoded(QStringConverter::Utf16LE, text), text},
        {"UTF-16 BE mark", "\xFE\xFF" + encoded(QStringConverter::Utf16BE, text), text},
        // Without a mark the system's encoding, UTF-8 here, reads it.
        {"no mark", text.toUtf8(), text},
        {"a second mark stays", "\xEF\xBB\xBF\xEF\xBB\xBF{}", QStringLiteral("\uFEFF{}")},
        {"a UTF-16 mark after a UTF-8 one is text", "\xEF\xBB\xBF\xFF\xFE",
         QStringLiteral("\uFFFD\uFFFD")},
        {"mark only", "\xFE\xFF", QString()},
        {"empty", QByteArray(), QString()},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeReleaseIndex(c.bytes), c.expected) << c.what;
}

TEST(JsonMembersTest, ValueTextsFollowTheValueKind) {
    const JsonObjectReading reading = readJsonObject(QStringLiteral(
        " {\"s\": \"a\\\"b\\\\c\\/d\\n\\u00e9\\ud83d\\ude00\", \"n\": -1.20e+3, \"z\": 0,"
        " \"t\": true, \"f\": false, \"null\": null, \"o\": {\"x\": [1, {}]}, \"a\": [],"
        " \"s\": \"second\", \"\": \"empty name\"}\r\n\t"));
    ASSERT_EQ(reading.shape, JsonObjectReading::Shape::Object);
    QStringList names;
    for (const JsonMember& member : reading.members) names << member.name;
    EXPECT_EQ(names, (QStringList{"s", "n", "z", "t", "f", "null", "o", "a", "s", ""}));

    const struct {
        const char* name;
        QString expected;
    } values[] = {
        {"s", QStringLiteral("a\"b\\c/d\n\u00e9\U0001F600")},
        {"n", "-1.20e+3"},
        {"z", "0"},
        {"t", "true"},
        {"f", "false"},
        {"null", "null"},
        {"o", ""},
        {"a", ""},
        {"", "empty name"},
    };
    for (const auto& v : values) {
        const QString* text = firstMemberText(reading.members, QString::fromUtf8(v.name));
        ASSERT_NE(text, nullptr) << v.name;
        EXPECT_EQ(*text, v.expected) << v.name;
    }
    EXPECT_EQ(firstMemberText(reading.members, "S"), nullptr) << "names match exactly";
    EXPECT_EQ(firstMemberText(reading.members, "missing"), nullptr);
}

TEST(JsonMembersTest, OnlyStrictJsonIsRead) {
    using Shape = JsonObjectReading::Shape;
    const struct {
        const char* text;
        Shape shape;
    } cases[] = {
        {"{}", Shape::Object},
        {"{\"a\":[1,2.5,-0,1E9,\"x\",null]}", Shape::Object},
        {"[1, 2]", Shape::NotAnObject},
        {"\"text\"", Shape::NotAnObject},
        {"12", Shape::NotAnObject},
        {"null", Shape::NotAnObject},
        {"", Shape::Invalid},
        {"   ", Shape::Invalid},
        {"<html><body>index</body></html>", Shape::Invalid},
        {"{\"a\":1,}", Shape::Invalid},
        {"{\"a\":1} x", Shape::Invalid},
        {"{\"a\":1}{}", Shape::Invalid},
        {"{'a':1}", Shape::Invalid},
        {"{a:1}", Shape::Invalid},
        {"{\"a\":01}", Shape::Invalid},
        {"{\"a\":1.}", Shape::Invalid},
        {"{\"a\":.5}", Shape::Invalid},
        {"{\"a\":+1}", Shape::Invalid},
        {"{\"a\":1e}", Shape::Invalid},
        {"{\"a\":-}", Shape::Invalid},
        {"{\"a\":NaN}", Shape::Invalid},
        {"{\"a\":tru}", Shape::Invalid},
        {"{\"a\":True}", Shape::Invalid},
        {"{\"a\":\"tab\there\"}", Shape::Invalid},
        {"{\"a\":\"\\x\"}", Shape::Invalid},
        {"{\"a\":\"\\u12g4\"}", Shape::Invalid},
        {"{\"a\":\"open}", Shape::Invalid},
        {"{\"a\" 1}", Shape::Invalid},
        {"{\"a\":[1 2]}", Shape::Invalid},
        {"{\"a\":1 /* note */}", Shape::Invalid},
        {"\v{}", Shape::Invalid},
    };
    for (const auto& c : cases) {
        const JsonObjectReading reading = readJsonObject(QString::fromUtf8(c.text));
        EXPECT_EQ(reading.shape, c.shape) << c.text;
        if (c.shape != Shape::Object) {
            EXPECT_TRUE(reading.members.isEmpty()) << c.text;
        }
    }
}

TEST(JsonMembersTest, DeepNestingIsRefusedWithoutCrashing) {
    const QString deep = QString(100000, u'[') + QString(100000, u']');
    EXPECT_EQ(readJsonObject(deep).shape, JsonObjectReading::Shape::Invalid);
    const QString nested =
        QStringLiteral("{\"a\":") + QString(100, u'[') + QString(100, u']') + u'}';
    EXPECT_EQ(readJsonObject(nested).shape, JsonObjectReading::Shape::Object);
}

struct Taken {
    QString fileName = "before";
    QString version = "before";
    QString website = "before";
};

TEST(ReleaseIndexTest, ReadsTheThreeMembersInOrderAndStopsAtTheFirstMissing) {
    const struct {
        const char* text;
        const char* error;  // empty: read whole
        Taken after;
    } cases[] = {
        {R"({"website":"w","version":"v","file_name":"f","extra":1})", "", {"f", "v", "w"}},
        {R"({"file_name":"f","file_name":"g","version":"v","website":"w"})", "", {"f", "v", "w"}},
        {R"({"file_name":"f","website":"w"})",
         "The release index has no member \"version\"",
         {"f", "before", "before"}},
        {R"({"file_name":"f","version":"v"})",
         "The release index has no member \"website\"",
         {"f", "v", "before"}},
        {R"({"File_Name":"f","version":"v","website":"w"})",
         "The release index has no member \"file_name\"",
         {}},
        {R"(["file_name","version","website"])", "The release index is not a JSON object", {}},
        {"<!DOCTYPE html><html></html>", "The release index is not a JSON object", {}},
    };
    for (const auto& c : cases) {
        Taken taken;
        QString error;
        try {
            readReleaseIndex(QString::fromUtf8(c.text),
                             {taken.fileName, taken.version, taken.website});
        } catch (const AppError& e) {
            error = e.message();
        }
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(taken.fileName, c.after.fileName) << c.text;
        EXPECT_EQ(taken.version, c.after.version) << c.text;
        EXPECT_EQ(taken.website, c.after.website) << c.text;
    }
}

TEST(ReleaseComparisonTest, ComparesVersionsAsText) {
    const QString status = QStringLiteral("STATUS");
    const struct {
        const char* running;
        const char* released;
        const char* caption;
    } cases[] = {
        {"01.02.00.15", "01.02.00.17", "Newer STATUS"},
        {"01.02.00.15", "01.02.00.15", "version up-to-date (01.02.00.15)"},
        {"01.02.00.15", "01.02.00.09", "Older STATUS"},
        {"01.02.00.15", "1.2.0.16", "Newer STATUS"},      // without leading zeros
        {"01.02.00.15", "01.02.00.15 ", "Newer STATUS"},  // a trailing blank sorts after
        {"01.02.00.15", "01.02.00.1", "Older STATUS"},    // the shorter start sorts first
        {"01.02.00.15", "", "Older STATUS"},
        {"?.?.?.?", "01.00.00.00", "Older STATUS"},  // "?" sorts after digits
        {"01.02.00.15", "01.02.00.15a", "Newer STATUS"},
        {"a", "B", "Older STATUS"},  // case-sensitive, by code unit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(releaseComparisonCaption(c.running, c.released, status), c.caption)
            << c.running << " against " << c.released;
    }
}

}  // namespace
}  // namespace quillmere
