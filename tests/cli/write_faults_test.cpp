// Targets that cannot be written: a file system that refuses the size, a
// folder or a file that may not be written, a folder where the target
// would go. Each run must fail with status 1 and its reason, and leave the
// folder exactly as it was: no target lost or half-written, no temporary
// file left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/file_mode.h"
#include "support/folder_contents.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using test::setMode;

// A sandbox whose folder may be made read-only; it is made writable again
// before it is removed.
class FaultFolder {
  public:
    FaultFolder() : root_(QDir::cleanPath(sandbox_.path("."))) {}
    ~FaultFolder() { setMode(root_, 0700); }
    const QString& root() const { return root_; }
    QString path(const QString& name) const { return root_ + '/' + name; }
    QString write(const QString& name, const std::vector<std::uint8_t>& bytes) const {
        return sandbox_.write(name, bytes);
    }

  private:
    test::Sandbox sandbox_;
    QString root_;
};

const std::vector<std::uint8_t> kOldTarget = {'o', 'l', 'd', ' ', 'B', 'M', 'P'};

TEST(WriteFaults, AFileSystemThatRefusesTheSizeLosesNothing) {
    // A 60 KB BMP target against a limit of 4 KB.
    const struct {
        const char* what;
        const char* source;
        bool existingTarget;
        bool overwrite;
    } cases[] = {
        {"a new target", "a.png", false, false},
        {"an existing target", "a.png", true, true},
        {"a file converted onto itself", "a.bmp", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FaultFolder folder;
        const Bitmap24 picture = test::photoLike(200, 100);
        const QString source = folder.write(
            c.source, QString(c.source).endsWith(".bmp") ? encodeBmp(picture) : encodePng(picture));
        const QString target = folder.path("a.bmp");
        if (c.existingTarget) folder.write("a.bmp", kOldTarget);
        const bool targetExists = QFile::exists(target);
        const QStringList before = test::folderContents(folder.root());

        QStringList arguments = {"--to", "BMP", source};
        if (c.overwrite) arguments.prepend("--overwrite");
        const test::ProgramRun run =
            test::runBatchProgram(arguments, {}, test::fileSizeLimit(4096));

        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, targetExists ? "file already exist: " + target + "\n" : QString());
        EXPECT_EQ(run.err, QStringLiteral(
                               "quillmere-batch: %1: Cannot create file \"%2\". File too large.\n")
                               .arg(source, target));
        EXPECT_EQ(test::folderContents(folder.root()), before);
    }
}

enum class AtTarget { Nothing, WritableFile, ReadOnlyFile, Folder };

TEST(WriteFaults, ReadOnlyPlacesAndFoldersAtTheTargetLoseNothing) {
    const struct {
        const char* what;
        mode_t folderMode;
        AtTarget atTarget;
        bool overwrite;
        const char* reason;
    } cases[] = {
        {"a read-only folder, a new target", 0555, AtTarget::Nothing, false, "Permission denied"},
        {"a read-only folder, an existing target", 0555, AtTarget::WritableFile, true,
         "Permission denied"},
        {"a read-only target", 0777, AtTarget::ReadOnlyFile, true, "Permission denied"},
        {"a folder at the target", 0777, AtTarget::Folder, false, "Is a directory"},
        {"a folder at the target, overwriting", 0777, AtTarget::Folder, true, "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FaultFolder folder;
        const QString source = folder.write("a.png", encodePng(test::photoLike(20, 10)));
        const QString target = folder.path("a.bmp");
        switch (c.atTarget) {
            case AtTarget::Nothing:
                break;
            case AtTarget::WritableFile:
            case AtTarget::ReadOnlyFile:
                folder.write("a.bmp", kOldTarget);
                ASSERT_TRUE(setMode(target, c.atTarget == AtTarget::ReadOnlyFile ? 0444 : 0666));
                break;
            case AtTarget::Folder:
                ASSERT_TRUE(QDir().mkdir(target));
                break;
        }
        ASSERT_TRUE(setMode(source, 0644));
        ASSERT_TRUE(setMode(folder.root(), c.folderMode));
        const QStringList before = test::folderContents(folder.root());

        QStringList arguments = {"--to", "BMP", source};
        if (c.overwrite) arguments.prepend("--overwrite");
        const test::ProgramRun run = test::runBatchProgram(arguments, {}, test::withoutRootRights);
        if (run.status == test::kSetUpFailed) GTEST_SKIP() << "root's rights cannot be dropped";

        const bool fileAtTarget =
            c.atTarget == AtTarget::WritableFile || c.atTarget == AtTarget::ReadOnlyFile;
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, fileAtTarget ? "file already exist: " + target + "\n" : QString());
        EXPECT_EQ(run.err, QStringLiteral("quillmere-batch: %1: Cannot create file \"%2\". %3.\n")
                               .arg(source, target, c.reason));
        EXPECT_EQ(test::folderContents(folder.root()), before);
    }
}

}  // namespace
}  // namespace quillmere
