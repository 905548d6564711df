#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "about/about_unit.h"
#include "about/shell_open.h"
#include "common/files_beside_executable.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

TEST(FilesFolderTest, TheExecutablesFolderUnlessItCannotTakeThem) {
    const struct {
        const char* folder;
        bool writable;
        bool settingsThere;
        const char* user;
        const char* expected;
    } cases[] = {
        {"/home/u/bin/", true, false, "/home/u/.config/quillmere", "/home/u/bin/"},
        {"/home/u/bin/", true, true, "/home/u/.config/quillmere", "/home/u/bin/"},
        {"/usr/bin/", false, true, "/home/u/.config/quillmere", "/usr/bin/"},
        {"/usr/bin/", false, false, "/home/u/.config/quillmere", "/home/u/.config/quillmere/"},
        {"/usr/bin/", false, false, "/home/u/.config/quillmere/", "/home/u/.config/quillmere/"},
        {"/usr/bin/", false, false, "", "/usr/bin/"},
        {"/usr/bin", true, false, "/x", "/usr/bin/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseFilesFolder(c.folder, c.writable, c.settingsThere, c.user), c.expected)
            << c.folder << " writable " << c.writable << " settings " << c.settingsThere;
    }
}

TEST(FilesFolderTest, AWritableFolderKeepsTheFilesAndNoUserFolderIsMade) {
    const test::Sandbox sandbox;
    ASSERT_TRUE(QDir().mkpath(sandbox.path("bin")));
    EXPECT_EQ(programFilesFolder(sandbox.path("bin/quillmere"), sandbox.path("user")),
              sandbox.path("bin/"));
    EXPECT_FALSE(QFileInfo::exists(sandbox.path("user")));
}

TEST(SettingsFileTest, IsNamedLikeTheExecutable) {
    const struct {
        const char* executable;
        const char* settings;
    } cases[] = {
        {"/opt/q/quillmere", "quillmere.ini"},
        {"/opt/q/Tool.exe", "Tool.ini"},
        {"/opt/q/tool.v2.bin", "tool.v2.ini"},
        {"/opt/q.d/tool", "tool.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingsFileName(c.executable), c.settings) << c.executable;
}

TEST(OwnFilesTest, AreTheProgramsTheirSettingsFilesAndTheReleaseIndex) {
    EXPECT_EQ(windowProgramFileName(), "quillmere");
    EXPECT_EQ(batchProgramFileName(), "quillmere-batch");
    EXPECT_EQ(releaseIndexFileName(), "index.json");
    const struct {
        const char* executable;
        QStringList names;
    } cases[] = {
        {"/opt/q/quillmere", {"quillmere", "quillmere.ini", "quillmere-batch", "index.json"}},
        {"/opt/q/Tool.exe",
         {"Tool.exe", "Tool.ini", "quillmere", "quillmere.ini", "quillmere-batch", "index.json"}},
        {"/opt/q/quillmere-batch",
         {"quillmere-batch", "quillmere-batch.ini", "quillmere", "quillmere.ini", "index.json"}},
        {"/opt/q/index.json",
         {"index.json", "index.ini", "quillmere", "quillmere.ini", "quillmere-batch"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ownFileNames(c.executable), c.names) << c.executable;
}

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

}  // namespace
}  // namespace quillmere
