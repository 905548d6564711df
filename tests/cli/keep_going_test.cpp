// Entries that fail, with and without --keep-going: a source that cannot
// be loaded (broken.gif) and a target that cannot be written (d.bmp is a
// folder), at the start, in the middle and at the end of the list. Each
// failure is reported with its source; without --keep-going the first one
// ends the run, with it the others are converted and logged as usual.
#include <gtest/gtest.h>

#include <QDir>

#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/folder_contents.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

const QString kLoadFailure = "quillmere-batch: broken.gif: Invalid GIF signature.\n";
const QString kWriteFailure =
    "quillmere-batch: d.png: Cannot create file \"d.bmp\". Is a directory.\n";

// The folder every case starts from.
void fillFolder(const test::Sandbox& folder) {
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
        folder.write(name, encodePng(test::photoLike(12, 9, static_cast<unsigned>(name[0]))));
    }
    folder.write("broken.gif", QByteArray("nothing like a GIF"));
    ASSERT_TRUE(QDir(folder.path(".")).mkdir("d.bmp"));
}

TEST(KeepGoing, ReportsEachFailureWithItsSourceAndGoesOnOnlyWhenAsked) {
    const struct {
        const char* name;
        QStringList list;
        bool keepGoing;
        int status;
        QString out;
        QString err;
        QStringList targets;  // the targets written, in name order
    } cases[] = {
        {"load, start", {"broken.gif", "a.png", "b.png"}, false, 1, "", kLoadFailure, {}},
        {"load, start, going on",
         {"broken.gif", "a.png", "b.png"},
         true,
         1,
         "a.bmp\nb.bmp\nfinished!\n",
         kLoadFailure,
         {"a.bmp", "b.bmp"}},
        {"load, middle",
         {"a.png", "broken.gif", "b.png"},
         false,
         1,
         "a.bmp\n",
         kLoadFailure,
         {"a.bmp"}},
        {"load, middle, going on",
         {"a.png", "broken.gif", "b.png"},
         true,
         1,
         "a.bmp\nb.bmp\nfinished!\n",
         kLoadFailure,
         {"a.bmp", "b.bmp"}},
        {"load, end",
         {"a.png", "b.png", "broken.gif"},
         false,
         1,
         "a.bmp\nb.bmp\n",
         kLoadFailure,
         {"a.bmp", "b.bmp"}},
        {"load, end, going on",
         {"a.png", "b.png", "broken.gif"},
         true,
         1,
         "a.bmp\nb.bmp\nfinished!\n",
         kLoadFailure,
         {"a.bmp", "b.bmp"}},
        {"write, start", {"d.png", "a.png", "b.png"}, false, 1, "", kWriteFailure, {}},
        {"write, start, going on",
         {"d.png", "a.png", "b.png"},
         true,
         1,
         "a.bmp\nb.bmp\nfinished!\n",
         kWriteFailure,
         {"a.bmp", "b.bmp"}},
        {"write, middle",
         {"a.png", "d.png", "b.png"},
         false,
         1,
         "a.bmp\n",
         kWriteFailure,
         {"a.bmp"}},
        {"write, middle, going on",
         {"a.png", "d.png", "b.png"},
         true,
         1,
         "a.bmp\nb.bmp\nfinished!\n",
         kWriteFailure,
         {"a.bmp", "b.bmp"}},
        {"write, end",
         {"a.png", "b.png", "d.png"},
         false,
         1,
         "a.bmp\nb.bmp\n",
         kWriteFailure,
         {"a.bmp", "b.bmp"}},
        {"write, end, going on",
         {"a.png", "b.png", "d.png"},
         true,
         1,
         "a.bmp\nb.bmp\nfinished!\n",
         kWriteFailure,
         {"a.bmp", "b.bmp"}},
        {"both, going on",
         {"broken.gif", "a.png", "d.png", "b.png", "broken.gif", "c.png"},
         true,
         1,
         "a.bmp\nb.bmp\nc.bmp\nfinished!\n",
         kLoadFailure + kWriteFailure + kLoadFailure,
         {"a.bmp", "b.bmp", "c.bmp"}},
        {"no failure, going on",
         {"a.png", "b.png"},
         true,
         0,
         "a.bmp\nb.bmp\nfinished!\n",
         "",
         {"a.bmp", "b.bmp"}},
    };
    const QStringList jobs[] = {{"--jobs", "1"}, {"--jobs", "4"}};
    for (const auto& c : cases) {
        for (const QStringList& jobOption : jobs) {
            SCOPED_TRACE(std::string(c.name) + " " + jobOption.join(' ').toStdString());
            const test::Sandbox folder;
            fillFolder(folder);
            const QString root = QDir::cleanPath(folder.path("."));
            QStringList expectedFiles = test::folderContents(root);

            QStringList arguments = QStringList{"--to", "BMP"} + jobOption;
            if (c.keepGoing) arguments << "--keep-going";
            const test::ProgramRun run = test::runBatchProgram(arguments + c.list, root);

            EXPECT_EQ(run.status, c.status);
            EXPECT_EQ(run.out, c.out);
            EXPECT_EQ(run.err, c.err);
            // Every target written whole, nothing else added (no
            // temporary file either).
            QStringList files = test::folderContents(root);
            QStringList added;
            for (const QString& file : files) {
                if (!expectedFiles.contains(file)) added << file.section(' ', 0, 0);
            }
            EXPECT_EQ(added, c.targets);
            for (const QString& target : c.targets) {
                EXPECT_EQ(test::loadBitmap(root + '/' + target).width(), 12)
                    << target.toStdString();
            }
            for (const QString& file : expectedFiles) EXPECT_TRUE(files.contains(file));
        }
    }
}

}  // namespace
}  // namespace quillmere
