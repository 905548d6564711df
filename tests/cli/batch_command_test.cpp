#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/sandbox.h"
#include "support/qt_printers.h"

namespace quillmere {
namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

// Runs the real program, as a script would.
Result runProgram(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

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

    const Result first = runProgram({"--to", "jpg", a, b});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, sandbox.path("a.jpg") + "\nfile already exist: " + sandbox.path("b.jpg") +
                             "\nfinished!\n");
    EXPECT_EQ(first.err, QString());
    EXPECT_EQ(test::loadBitmap(sandbox.path("a.jpg")).width(), 12);

    const Result second = runProgram({"--to=JPG", "--overwrite", "--quality", "75", b});
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

    const Result unknown = runProgram({"--to", "BMP", a, notes, c});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, sandbox.path("a.bmp") + "\n");
    EXPECT_EQ(unknown.err, "Unknown picture file extension (.txt)\n");
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("c.bmp")));

    // The error box's rule: a period is added after a letter.
    const Result invalid = runProgram({"--to", "BMP", broken});
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.err, "Invalid GIF signature.\n");
}

TEST_F(BatchCommandTest, ListsWithoutConverting) {
    const QString a = picture("a.png");
    const Result result = runProgram({"--list", a, sandbox.path("missing.gif")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, a + "\n" + sandbox.path("missing.gif") + "\n");
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("a.bmp")));
}

TEST_F(BatchCommandTest, AnswersHelpAndVersion) {
    const Result help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: quillmere-batch --to FORMAT"));
    EXPECT_TRUE(help.out.contains("--overwrite"));

    const Result version = runProgram({"--version"});
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
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Result result = runProgram(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.contains("Usage: quillmere-batch"));
        EXPECT_EQ(result.out, QString());
    }
}

}  // namespace
}  // namespace quillmere
