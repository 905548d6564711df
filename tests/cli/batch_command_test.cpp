#include <gtest/gtest.h>

#include <QRegularExpression>

#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/folder_contents.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

class BatchCommandTest : public ::testing::Test {
  protected:
    QString picture(const QString& name) {
        return sandbox.write(name, encodePng(test::photoLike(12, 9)));
    }
    test::Sandbox sandbox;
};

TEST_F(BatchCommandTest, ConvertsAndPrintsTheLog) {
    const QString a = picture("a.png");
    const QString b = picture("b.png");
    sandbox.write("b.jpg", QByteArray("old"));

    const test::ProgramRun first = test::runBatchProgram({"--to", "jpg", a, b});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, sandbox.path("a.jpg") + "\nfile already exist: " + sandbox.path("b.jpg") +
                             "\nfinished!\n");
    EXPECT_EQ(first.err, QString());
    EXPECT_EQ(test::loadBitmap(sandbox.path("a.jpg")).width(), 12);

    const test::ProgramRun second =
        test::runBatchProgram({"--to=JPG", "--overwrite", "--quality", "75", b});
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out,
              "file already exist: " + sandbox.path("b.jpg") + " -->over write \nfinished!\n");
    EXPECT_EQ(test::loadBitmap(sandbox.path("b.jpg")).height(), 9);
}

TEST_F(BatchCommandTest, AnErrorEndsTheRunWithStatusOne) {
    const QString a = picture("a.png");
    const QString notes = sandbox.write("notes.txt", QByteArray("text"));
    const QString broken = sandbox.write("broken.gif", QByteArray("nothing like a GIF"));
    const QString c = picture("c.png");

    const test::ProgramRun unknown = test::runBatchProgram({"--to", "BMP", a, notes, c});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, sandbox.path("a.bmp") + "\n");
    EXPECT_EQ(unknown.err,
              "quillmere-batch: " + notes + ": Unknown picture file extension (.txt)\n");
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("c.bmp")));

    // The error box's rule: a period is added after a letter.
    const test::ProgramRun invalid = test::runBatchProgram({"--to", "BMP", broken});
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.err, "quillmere-batch: " + broken + ": Invalid GIF signature.\n");
}

TEST_F(BatchCommandTest, ListsWithoutConverting) {
    const QString a = picture("a.png");
    const test::ProgramRun result =
        test::runBatchProgram({"--list", a, sandbox.path("missing.gif")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, a + "\n" + sandbox.path("missing.gif") + "\n");
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("a.bmp")));
}

TEST_F(BatchCommandTest, AnswersHelpAndVersion) {
    const test::ProgramRun help = test::runBatchProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: quillmere-batch --to FORMAT"));
    EXPECT_TRUE(help.out.contains("--overwrite"));
    EXPECT_TRUE(help.out.contains("--keep-going"));
    for (const char* status : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  130 ", "143"}) {
        EXPECT_TRUE(help.out.contains(status)) << status;
    }

    const test::ProgramRun version = test::runBatchProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("quillmere-batch "));
    EXPECT_TRUE(version.out.contains(QRegularExpression(R"(\d+\.\d+\.\d+\.\d+\n$)")));
}

TEST_F(BatchCommandTest, AWrongCommandLineExitsWithTwo) {
    const QStringList cases[] = {
        {},
        {"--to"},
        {"--to", "webp", "a.png"},
        {"--quality", "90", "a.png"},
        {"--bogus", "--to", "PNG"},
        {"--list=yes"},
        {"--to", "BMP", "--jobs"},
        {"--to", "BMP", "--jobs", "0", "a.png"},
        {"--to", "BMP", "--jobs", "x", "a.png"},
        {"--to", "BMP", "--jobs=257", "a.png"},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const test::ProgramRun result = test::runBatchProgram(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.contains("Usage: quillmere-batch"));
        EXPECT_EQ(result.out, QString());
    }
}

TEST_F(BatchCommandTest, TheJobCountIsAWholeNumberFrom1To256) {
    const char* const wrong[] = {"0", "x", "257", "-3", "2.5", ""};
    for (const char* count : wrong) {
        SCOPED_TRACE(count);
        const test::ProgramRun result =
            test::runBatchProgram({"--to", "BMP", QStringLiteral("--jobs=%1").arg(count), "a.png"});
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.startsWith(
            QStringLiteral(
                "quillmere-batch: --jobs needs a whole number from 1 to 256, not \"%1\"\n")
                .arg(count)))
            << result.err.toStdString();
        EXPECT_EQ(result.out, QString());
    }
}

TEST_F(BatchCommandTest, AnyNumberOfJobsGivesTheRunOfOne) {
    // Entries that read what earlier ones write, one listed twice, one
    // missing, an existing target and, in one case, a broken file in the
    // middle. Relative paths make the output of two folders comparable.
    const struct {
        const char* name;
        QStringList options;
        QStringList list;
        int status;
        QString out;
        QString err;
    } cases[] = {
        {"keeping",
         {},
         {"a.png", "a.bmp", "b.png", "gone.png", "b.png", "c.png"},
         0,
         "a.bmp\nfile already exist: a.bmp\nb.bmp\nfile already exist: b.bmp\n"
         "file already exist: c.bmp\nfinished!\n",
         ""},
        {"overwriting",
         {"--overwrite"},
         {"a.png", "a.bmp", "b.png", "gone.png", "b.png", "c.png"},
         0,
         "a.bmp\nfile already exist: a.bmp -->over write \nb.bmp\n"
         "file already exist: b.bmp -->over write \nfile already exist: c.bmp -->over write \n"
         "finished!\n",
         ""},
        {"failing",
         {"--overwrite"},
         {"a.png", "a.bmp", "b.png", "broken.gif", "b.png", "c.png"},
         1,
         "a.bmp\nfile already exist: a.bmp -->over write \nb.bmp\n",
         "quillmere-batch: broken.gif: Invalid GIF signature.\n"},
    };
    const QStringList jobs[] = {{"--jobs", "1"}, {"--jobs", "3"}, {"--jobs=256"}, {}};
    for (const auto& c : cases) {
        QStringList firstFiles;
        for (const QStringList& jobOption : jobs) {
            SCOPED_TRACE(std::string(c.name) + " " + jobOption.join(' ').toStdString());
            const test::Sandbox folder;
            for (const char* name : {"a.png", "b.png", "c.png"}) {
                folder.write(name, encodePng(test::photoLike(12, 9, name[0])));
            }
            folder.write("c.bmp", QByteArray("old"));
            folder.write("broken.gif", QByteArray("nothing like a GIF"));

            const test::ProgramRun run = test::runBatchProgram(
                QStringList{"--to", "BMP"} + c.options + jobOption + c.list, folder.path("."));
            EXPECT_EQ(run.status, c.status);
            EXPECT_EQ(run.out, c.out);
            // Standard error is no terminal here: no progress line.
            EXPECT_EQ(run.err, c.err);
            const QStringList files = test::folderContents(folder.path("."));
            if (firstFiles.isEmpty()) {
                firstFiles = files;
            } else {
                EXPECT_EQ(files, firstFiles);
            }
        }
    }
}

}  // namespace
}  // namespace quillmere
