#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include "about/version_text.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

TEST(ZeroPadTest, PadsToTheWidthOrKeepsTheLastTwoDigits) {
    const struct {
        unsigned value;
        int width;
        const char* expected;
    } cases[] = {
        {0, 2, "00"},   {7, 2, "07"},     {12, 2, "12"},    {99, 2, "99"},
        {123, 2, "23"}, {65535, 2, "35"}, {100, 2, "00"},   {7, 4, "0007"},
        {7, 1, "7"},    {42, 0, "42"},    {12345, 4, "45"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Zero_pad(c.value, c.width), c.expected) << c.value << " at width " << c.width;
    }
}

TEST(FileVersionTest, FormatsFourTwoDigitFieldsOrQuestionMarks) {
    const struct {
        std::optional<FileVersion> version;
        const char* expected;
    } cases[] = {
        {FileVersion{1, 2, 0, 15}, "01.02.00.15"},
        {FileVersion{1, 2, 0, 123}, "01.02.00.23"},
        {FileVersion{10, 0, 65535, 9}, "10.00.35.09"},
        {FileVersion{}, "00.00.00.00"},
        {std::nullopt, "?.?.?.?"},
    };
    for (const auto& c : cases) {
        QStringList asked;
        const QString text =
            Get_file_version(QStringLiteral("/opt/Tool.exe"), [&](const QString& path) {
                asked << path;
                return c.version;
            });
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(asked, QStringList{"/opt/Tool.exe"});
    }
}

TEST(FileVersionTest, OnlyTheRunningProgramCarriesAVersion) {
    // The test program is built with the project's version compiled in.
    const QString own = Get_file_version(QCoreApplication::applicationFilePath());
    EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d\\d\\.\\d\\d$").match(own).hasMatch())
        << own.toStdString();

    const test::Sandbox sandbox;
    EXPECT_EQ(Get_file_version(sandbox.write("other.exe", QByteArray("MZ"))), "?.?.?.?");
    EXPECT_EQ(Get_file_version(sandbox.path("missing.exe")), "?.?.?.?");
}

TEST(ReleaseDateTest, UsesTheLocaleDateSeparator) {
    const struct {
        QLocale locale;
        QChar separator;
        const char* date;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), u'/', "2024/03/05"},
        {QLocale(QLocale::German, QLocale::Germany), u'.', "2024.03.05"},
        {QLocale(QLocale::Dutch, QLocale::Netherlands), u'-', "2024-03-05"},
        {QLocale(QLocale::Swedish, QLocale::Sweden), u'-', "2024-03-05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dateSeparator(c.locale), c.separator) << c.locale.name().toStdString();
        EXPECT_EQ(releaseDateText(QDate(2024, 3, 5), c.locale), c.date);
    }
    EXPECT_EQ(releaseDateText(QDate(987, 12, 31), QLocale(QLocale::Dutch)), "0987-12-31");
    EXPECT_EQ(releaseDateText(QDate(), QLocale(QLocale::Dutch)), "");
}

}  // namespace
}  // namespace quillmere
