#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

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

}  // namespace
}  // namespace quillmere
