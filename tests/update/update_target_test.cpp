#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "update/update_target.h"

namespace quillmere {
namespace {

// The program Tool.exe in bin/, with its settings file, the release index's
// local copy, and links to them.
class UpdateTargetTest : public ::testing::Test {
  protected:
    UpdateTargetTest() {
        EXPECT_TRUE(QDir().mkpath(sandbox.path("bin")));
        executable = sandbox.write("bin/Tool.exe", QByteArray("the program"));
        sandbox.write("bin/Tool.ini", QByteArray("[Update]\n"));
        sandbox.write("bin/index.json", QByteArray("{}"));
        EXPECT_TRUE(QFile::link(sandbox.path("bin/Tool.ini"), sandbox.path("bin/settings-link")));
        EXPECT_TRUE(QFile::link(sandbox.path("bin/index.json"), sandbox.path("bin/index-link")));
        EXPECT_TRUE(QFile::link(executable, sandbox.path("bin/program-link")));
    }

    std::optional<QString> targetFor(const QString& name) const {
        return updateTarget(name, executable, folder());
    }
    QString folder() const { return sandbox.path("bin/"); }

    test::Sandbox sandbox;
    QString executable;
};

TEST_F(UpdateTargetTest, APlainNewNameLandsInTheFilesFolder) {
    for (const char* name :
         {"Tool_1.3.exe", "Quillmere.ini", "QUILLMERE", "quillmere.ini ", " quillmere",
          "quillmere-batch.new", "quillmere-batch-1.3.tar.gz", "Tool.ini.bak", "...", "Index.json",
          "index.json.bak", "index.json ", "index.JSON"}) {
        EXPECT_EQ(targetFor(name), folder() + name) << name;
    }
}

TEST_F(UpdateTargetTest, NeverOneOfTheProgramsOwnFiles) {
    const QString names[] = {
        "Tool.exe",         // the running executable
        "Tool.ini",         // its settings file
        "quillmere",        // the window program
        "quillmere.ini",    // its settings file
        "quillmere-batch",  // the command-line program
        "index.json",       // the release index's local copy, which each lookup rewrites
        "settings-link",    // a link to the settings file
        "program-link",     // a link to the executable
        "index-link",       // a link to the release index's local copy
    };
    for (const QString& name : names)
        EXPECT_EQ(targetFor(name), std::nullopt) << name.toStdString();
}

TEST_F(UpdateTargetTest, NeverANameThatLeavesTheFolder) {
    const QString names[] = {
        "",
        ".",
        "..",
        "../Tool.exe",
        "sub/file.exe",
        "/tmp/absolute.exe",
        "file.exe/",
        QStringLiteral("quillmere.ini") + QChar(0) + QStringLiteral("x"),
    };
    for (const QString& name : names)
        EXPECT_EQ(targetFor(name), std::nullopt) << name.toStdString();
}

TEST_F(UpdateTargetTest, NamesAreComparedAsTheFileSystemMeetsThem) {
    // A program whose name is not valid UTF-8 has a replacement character
    // in the text Qt gives; a lone surrogate in the server's name is written
    // to the disk as that same character.
    const QString program = QStringLiteral("/opt/q/T") + QChar(0xFFFD) + QStringLiteral("ol");
    const QString surrogate = QStringLiteral("T") + QChar(0xD800) + QStringLiteral("ol.ini");
    EXPECT_EQ(updateTarget(surrogate, program, QStringLiteral("/opt/q/")), std::nullopt);
    EXPECT_EQ(updateTarget(QStringLiteral("T\u00f6ol.ini"), program, QStringLiteral("/opt/q/")),
              QStringLiteral("/opt/q/T\u00f6ol.ini"));
}

}  // namespace
}  // namespace quillmere
