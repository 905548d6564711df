// Targets mirrored into an output folder: where each goes, and that none
// is written through a link that leads out of the folder.
#include "convert/output_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/app_error.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

TEST(MirroredTarget, TakesThePathBelowTheBaseIntoTheFolder) {
    const struct {
        const char* source;
        const char* base;
        const char* folder;
        const char* format;
        QString target;  // empty: the source has no target
    } cases[] = {
        {"photos/2024/a.PNG", "photos", "out", "JPG", "out/2024/a.jpg"},
        {"./photos/a.b.png", "photos/", "out/", "TIFF", "out/a.b.tiff"},
        {"photos/x/../a.png", "photos", "out", "GIF", "out/a.gif"},
        {"/srv/pics/x/a.png", "/srv/pics", "/tmp/o", "PNG", "/tmp/o/x/a.png"},
        {"/srv/a", "/", "o", "BMP", "o/srv/a.bmp"},
        {"a.png", ".", "o", "BMP", "o/a.bmp"},
        // The base's name is a prefix of the folder the source lies in.
        {"photosX/a.png", "photos", "out", "JPG", ""},
        {"photos/../other/a.png", "photos", "out", "JPG", ""},
        {"/etc/passwd", ".", "out", "JPG", ""},
        {"photos", "photos", "out", "JPG", ""},
    };
    for (const auto& c : cases) {
        const PlannedTarget planned = mirroredTarget(c.source, c.base, c.folder, c.format);
        EXPECT_EQ(planned.path, c.target) << c.source;
        EXPECT_EQ(planned.problem.isEmpty(), !c.target.isEmpty()) << c.source;
    }
    EXPECT_EQ(mirroredTarget("photosX/a.png", "photos", "out", "JPG").problem,
              QString("Not inside the base folder \"photos\""));
}

class OutputFolderTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return QDir::cleanPath(sandbox_.path(name)); }
    void link(const QString& destination, const QString& name) const {
        ASSERT_EQ(::symlink(QFile::encodeName(destination).constData(),
                            QFile::encodeName(path(name)).constData()),
                  0);
    }

    test::Sandbox sandbox_;
};

TEST_F(OutputFolderTest, MakesTheMissingFoldersOnlyWhenAskedTo) {
    OutputFolder dryRun(path("out"));
    dryRun.prepareFor(path("out/a/b/c.png"), false);
    EXPECT_FALSE(QFileInfo::exists(path("out")));

    OutputFolder folder(path("out"));
    folder.prepareFor(path("out/a/b/c.png"));
    EXPECT_TRUE(QFileInfo(path("out/a/b")).isDir());
    EXPECT_FALSE(QFileInfo::exists(path("out/a/b/c.png")));
}

TEST_F(OutputFolderTest, RefusesLinksThatLeadOutOfTheFolderButNotThoseInside) {
    ASSERT_TRUE(QDir(path(".")).mkpath("out/inside"));
    sandbox_.write("elsewhere/file.png", QByteArray("not to be written over"));
    link(path("elsewhere"), "out/away");
    link(path("out/inside"), "out/near");
    link(path("elsewhere/file.png"), "out/file.png");
    link(path("out/inside/kept.png"), "out/kept.png");
    // A link that points nowhere is replaced, not followed.
    link(path("nowhere/at/all.png"), "out/dangling.png");

    const struct {
        const char* target;
        bool refused;
    } cases[] = {
        {"out/away/a.png", true},     {"out/away/deeper/a.png", true}, {"out/file.png", true},
        {"out/near/a.png", false},    {"out/kept.png", false},         {"out/dangling.png", false},
        {"out/new/sub/a.png", false},
    };
    for (const bool make : {false, true}) {
        OutputFolder folder(path("out"));
        for (const auto& c : cases) {
            if (c.refused) {
                EXPECT_THROW(folder.prepareFor(path(c.target), make), AppError) << c.target;
            } else {
                EXPECT_NO_THROW(folder.prepareFor(path(c.target), make)) << c.target;
            }
        }
    }
    EXPECT_FALSE(QFileInfo::exists(path("elsewhere/deeper")));
    EXPECT_TRUE(QFileInfo(path("out/new/sub")).isDir());
}

TEST_F(OutputFolderTest, AFileWhereAFolderIsNeededIsTheEntrysError) {
    sandbox_.write("out/plain", QByteArray("x"));
    OutputFolder folder(path("out"));
    try {
        folder.prepareFor(path("out/plain/a.png"));
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  QString("Cannot create folder \"%1\". Not a directory").arg(path("out/plain")));
    }
}

}  // namespace
}  // namespace quillmere
