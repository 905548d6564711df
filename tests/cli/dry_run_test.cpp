// A dry run (--dry-run) prints the log the run would print and leaves
// every file as it was, without decoding a picture.
#include <gtest/gtest.h>

#include <QDir>

#include "imaging/codecs/gif_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/folder_contents.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// Among the entries: an existing target, two sources with one target, a
// source that an earlier entry writes (chain.jpg) and a missing one.
void fillFolder(const test::Sandbox& folder) {
    folder.write("pics/a.png", encodePng(test::photoLike(8, 6, 1)));
    folder.write("pics/b.png", encodePng(test::photoLike(8, 6, 2)));
    folder.write("pics/b.jpg", QByteArray("an old target"));
    folder.write("pics/sub/dup.png", encodePng(test::photoLike(8, 6, 3)));
    folder.write("pics/sub/dup.gif", encodeGif(test::photoLike(8, 6, 4)));
    folder.write("pics/chain.png", encodePng(test::photoLike(8, 6, 5)));
}

const QStringList kList = {"pics/a.png",       "pics/b.png",     "pics/sub/dup.png",
                           "pics/sub/dup.gif", "pics/chain.png", "pics/chain.jpg",
                           "pics/gone.png"};

TEST(DryRun, PrintsTheLogOfTheRunAndWritesNothing) {
    const struct {
        const char* what;
        QStringList options;
    } cases[] = {
        {"beside the sources", {}},
        {"writing over", {"--overwrite"}},
        {"into an output folder", {"--output-dir", "out/new"}},
        {"into an output folder, writing over", {"--output-dir", "out", "--overwrite"}},
        {"as JSON", {"--json", "--overwrite"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Sandbox sandbox;
        const QString root = QDir::cleanPath(sandbox.path("."));
        fillFolder(sandbox);
        const QStringList before = test::folderContents(root);
        const QStringList arguments = QStringList{"--to", "JPG"} + c.options + kList;

        const test::ProgramRun dry =
            test::runBatchProgram(arguments + QStringList{"--dry-run"}, root);
        EXPECT_EQ(dry.err, "");
        EXPECT_EQ(dry.status, 0);
        EXPECT_EQ(test::folderContents(root), before);

        const test::ProgramRun real = test::runBatchProgram(arguments, root);
        ASSERT_EQ(real.status, 0) << real.err.toStdString();
        if (c.options.contains("--json")) {
            // The same entries with the same statuses; only the times differ.
            const auto withoutTimes = [](const QString& out) {
                QStringList lines = out.split('\n', Qt::SkipEmptyParts);
                for (QString& line : lines) line = line.section("\"seconds\"", 0, 0);
                return lines;
            };
            EXPECT_EQ(withoutTimes(dry.out), withoutTimes(real.out));
        } else {
            EXPECT_EQ(dry.out, real.out);
        }
        EXPECT_NE(test::folderContents(root), before);
    }
}

TEST(DryRun, NeitherReadsThePicturesNorMakesTheFolders) {
    test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    sandbox.write("broken.png", QByteArray("not a PNG at all"));
    const QStringList before = test::folderContents(root);
    const test::ProgramRun dry = test::runBatchProgram(
        {"--to", "BMP", "--dry-run", "--output-dir", "out/deep", "broken.png", "/etc/hostname"},
        root);
    EXPECT_EQ(dry.out, "out/deep/broken.bmp\n");
    EXPECT_EQ(dry.err, "quillmere-batch: /etc/hostname: Not inside the base folder \".\"\n");
    EXPECT_EQ(dry.status, 1);
    EXPECT_EQ(test::folderContents(root), before);
}

}  // namespace
}  // namespace quillmere
