// Targets in an output folder (--output-dir, --base): the tree of the
// sources mirrored there, read-only sources, existing targets, sources
// outside their base and links leading out of the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "imaging/codecs/gif_encoder.h"
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

// A sandbox others may write to, for runs without root's rights; its
// folders are made writable again before it is removed.
class SharedFolder {
  public:
    SharedFolder() : root_(QDir::cleanPath(sandbox_.path("."))) { setMode(root_, 0777); }
    ~SharedFolder() {
        for (const QString& folder : madeReadOnly_) setMode(folder, 0755);
    }
    const QString& root() const { return root_; }
    QString path(const QString& name) const { return root_ + '/' + name; }
    void write(const QString& name, const std::vector<std::uint8_t>& bytes) const {
        sandbox_.write(name, bytes);
    }
    void writeText(const QString& name, const QByteArray& text) const {
        sandbox_.write(name, text);
    }
    void makeReadOnly(const QString& folder) {
        QDir dir(path(folder));
        for (const QString& file : dir.entryList(QDir::Files)) {
            EXPECT_TRUE(setMode(dir.filePath(file), 0444));
        }
        for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            makeReadOnly(folder + '/' + sub);
        }
        EXPECT_TRUE(setMode(path(folder), 0555));
        madeReadOnly_.append(path(folder));
    }
    void link(const QString& destination, const QString& name) const {
        ASSERT_EQ(::symlink(QFile::encodeName(destination).constData(),
                            QFile::encodeName(path(name)).constData()),
                  0);
    }

  private:
    test::Sandbox sandbox_;
    QString root_;
    QStringList madeReadOnly_;
};

TEST(OutputFolder, ConvertsAReadOnlyTreeIntoTheFolderMirroringIt) {
    SharedFolder folder;
    folder.write("photos/a.png", encodePng(test::photoLike(12, 8, 1)));
    folder.write("photos/2024/b.png", encodePng(test::photoLike(12, 8, 2)));
    folder.write("photos/2024/june/c.png", encodePng(test::photoLike(12, 8, 3)));
    folder.write("scans/box/d.gif", encodeGif(test::photoLike(12, 8, 4)));
    folder.makeReadOnly("photos");
    folder.makeReadOnly("scans");
    const QStringList sourcesBefore = test::folderContents(folder.root());

    const test::ProgramRun run =
        test::runBatchProgram({"--to", "JPG", "--output-dir", "out/jpeg", "--search",
                               "photos/*.png", "--recursive", "--base", "scans", "scans/box/d.gif"},
                              folder.root(), test::withoutRootRights);
    if (run.status == test::kSetUpFailed) GTEST_SKIP() << "root's rights cannot be dropped";

    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "out/jpeg/2024/b.jpg\nout/jpeg/2024/june/c.jpg\nout/jpeg/a.jpg\n"
              "out/jpeg/box/d.jpg\nfinished!\n");
    for (const char* target : {"out/jpeg/a.jpg", "out/jpeg/2024/b.jpg", "out/jpeg/2024/june/c.jpg",
                               "out/jpeg/box/d.jpg"}) {
        EXPECT_EQ(test::loadBitmap(folder.path(target)).width(), 12) << target;
    }
    QStringList sourcesAfter = test::folderContents(folder.root());
    sourcesAfter.erase(std::remove_if(sourcesAfter.begin(), sourcesAfter.end(),
                                      [](const QString& line) { return line.startsWith("out/"); }),
                       sourcesAfter.end());
    EXPECT_EQ(sourcesAfter, sourcesBefore);
}

TEST(OutputFolder, KeepsEachEntrysTargetInsideTheFolder) {
    const QByteArray kOld = "an old target";
    const struct {
        const char* what;
        QStringList arguments;
        int status;
        QString out;
        QString err;
        QStringList outside;  // the folder outside, afterwards
    } cases[] = {
        {"an existing target stays",
         {"src/a.png"},
         0,
         "file already exist: out/a.jpg\nout/sub/b.jpg\nfinished!\n",
         "",
         {"victim.jpg 13"}},
        {"an existing target is written over",
         {"--overwrite", "src/a.png"},
         0,
         "file already exist: out/a.jpg -->over write \nout/sub/b.jpg\nfinished!\n",
         "",
         {"victim.jpg 13"}},
        {"a source outside its base",
         {"--keep-going", "elsewhere/x.png", "src/a.png"},
         1,
         "file already exist: out/a.jpg\nout/sub/b.jpg\nfinished!\n",
         "quillmere-batch: elsewhere/x.png: Not inside the base folder \"src\"\n",
         {"victim.jpg 13"}},
        {"a folder in the output folder that is a link leading out",
         {"--keep-going", "src/a.png"},
         1,
         "file already exist: out/a.jpg\nfinished!\n",
         "quillmere-batch: src/sub/b.png: \"out/sub\" is a link that leads out of the output "
         "folder.\n",
         {"victim.jpg 13"}},
        {"a target that is a link leading out, written over",
         {"--overwrite", "--keep-going", "src/sub/b.png", "src/a.png"},
         1,
         "out/sub/b.jpg\nfile already exist: out/a.jpg\nfinished!\n",
         "quillmere-batch: src/a.png: \"out/a.jpg\" is a link that leads out of the output "
         "folder.\n",
         {"victim.jpg 13"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Sandbox sandbox;
        const QString root = QDir::cleanPath(sandbox.path("."));
        sandbox.write("src/a.png", encodePng(test::photoLike(10, 6, 1)));
        sandbox.write("src/sub/b.png", encodePng(test::photoLike(10, 6, 2)));
        sandbox.write("elsewhere/x.png", encodePng(test::photoLike(10, 6, 3)));
        sandbox.write("outside/victim.jpg", kOld);
        ASSERT_TRUE(QDir(root).mkpath("out"));
        const QString what = c.what;
        if (what.contains("folder in the output folder")) {
            ASSERT_EQ(::symlink("../outside", QFile::encodeName(root + "/out/sub").constData()), 0);
        }
        if (what.contains("target that is a link")) {
            ASSERT_EQ(::symlink("../outside/victim.jpg",
                                QFile::encodeName(root + "/out/a.jpg").constData()),
                      0);
        } else {
            sandbox.write("out/a.jpg", kOld);
        }
        QStringList arguments = {"--to", "JPG", "--output-dir", "out", "--base", "src"};
        arguments += c.arguments;
        if (!c.arguments.contains("src/sub/b.png")) arguments.append("src/sub/b.png");
        const test::ProgramRun run = test::runBatchProgram(arguments, root);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
        QStringList outside = test::folderContents(root + "/outside");
        for (QString& line : outside) line = line.section(' ', 0, 1);
        EXPECT_EQ(outside, c.outside);
        // Only the target written over holds a new picture.
        const std::vector<std::uint8_t> atTarget = test::Sandbox::read(root + "/out/a.jpg");
        const bool replaced = c.out.contains("out/a.jpg -->over write");
        EXPECT_EQ(atTarget == std::vector<std::uint8_t>(kOld.begin(), kOld.end()), !replaced);
    }
}

}  // namespace
}  // namespace quillmere
