#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

QString lines(const QStringList& paths) {
    QString text;
    for (const QString& path : paths) text += path + u'\n';
    return text;
}

class SearchOptionTest : public ::testing::Test {
  protected:
    SearchOptionTest() : photos(sandbox.path("photos")) {
        EXPECT_TRUE(QDir().mkpath(photos + "/sub"));
        for (const char* name : {"b.png", "A.PNG", "sub/c.png"}) picture(name);
        sandbox.write("photos/notes.txt", QByteArray("text"));
    }

    QString picture(const QString& name) {
        return sandbox.write("photos/" + name, encodePng(test::photoLike(6, 4)));
    }

    test::Sandbox sandbox;
    const QString photos;
};

TEST_F(SearchOptionTest, ListsWhatTheScanFindsBeforeThePaths) {
    const QString search = photos + "/*.png";
    EXPECT_EQ(test::runBatchProgram({"--search", search, "--list"}).out,
              lines({photos + "/A.PNG", photos + "/b.png"}));

    const test::ProgramRun recursive =
        test::runBatchProgram({"--list", "--recursive", "--search=" + search, "x.gif", "y"});
    EXPECT_EQ(recursive.status, 0) << recursive.err.toStdString();
    EXPECT_EQ(recursive.out,
              lines({photos + "/A.PNG", photos + "/b.png", photos + "/sub/c.png", "x.gif", "y"}));
    EXPECT_EQ(recursive.err, QString());

    // A relative search gives relative paths; "*.*" takes every file.
    EXPECT_EQ(
        test::runBatchProgram({"--list", "--search", "photos/*.*"}, QFileInfo(photos).path()).out,
        lines({"photos/A.PNG", "photos/b.png", "photos/notes.txt"}));
}

TEST_F(SearchOptionTest, ConvertsWhatTheScanFinds) {
    const test::ProgramRun result =
        test::runBatchProgram({"--to", "BMP", "--search", photos + "/sub/*.PNG"});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, lines({photos + "/sub/c.bmp", "finished!"}));
    EXPECT_EQ(test::loadBitmap(photos + "/sub/c.bmp").width(), 6);
    EXPECT_FALSE(QFileInfo::exists(photos + "/b.bmp"));
}

TEST_F(SearchOptionTest, ConvertsFilesWhoseNamesAreNotUtf8) {
    // "caf\xE9" is Latin-1: the name is not valid UTF-8, yet must reach its file.
    const QByteArray folder = QFile::encodeName(photos + "/sub");
    const QByteArray source = folder + "/caf\xE9.png";
    const std::vector<std::uint8_t> png = encodePng(test::photoLike(3, 2));
    const int fd = ::open(source.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, png.data(), png.size()), static_cast<ssize_t>(png.size()));
    ::close(fd);

    QProcess process;
    process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM),
                  {"--to", "BMP", "--search", photos + "/sub/caf*.PNG"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray target = folder + "/caf\xE9.bmp";
    EXPECT_EQ(process.readAllStandardOutput(), target + "\nfinished!\n");
    struct stat info {};
    EXPECT_EQ(::stat(target.constData(), &info), 0);
    EXPECT_GT(info.st_size, 54);
}

TEST_F(SearchOptionTest, AFailedSearchEndsWithStatusOne) {
    const struct {
        QStringList arguments;
        QString err;
    } cases[] = {
        // Messages as the standard error box shows them.
        {{"--list", "--search", photos + "/missing/*.png"},
         "The specified path was not found\r\n[" + photos + "/missing/].\n"},
        {{"--list", "--search", "*.png"}, "Path is empty.\n"},
        {{"--list", "--search", photos + "/*.[png"}, "'*.[png' is an invalid mask at (7)\n"},
        {{"--to", "PNG", "--search", photos + "/x*/*.png"},
         "Invalid characters in path\r\n[" + photos + "/x*/].\n"},
        // Not a search at all.
        {{"--list", "--search", photos + "/b.png"},
         "\"" + photos + "/b.png\" is not a search: it holds no \"*.\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const test::ProgramRun result = test::runBatchProgram(c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, QString());
    }
}

TEST_F(SearchOptionTest, AWrongUseOfTheOptionsExitsWithTwo) {
    const QStringList cases[] = {
        {"--list", "--recursive"},
        {"--list", "--recursive", photos + "/b.png"},
        {"--list", "--search"},
        {"--list", "--recursive=yes", "--search", photos + "/*.png"},
        {"--search", photos + "/*.png"},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const test::ProgramRun result = test::runBatchProgram(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.contains("[--search TEXT [--recursive]]"));
        EXPECT_EQ(result.out, QString());
    }
}

TEST_F(SearchOptionTest, HelpDescribesTheOptions) {
    const test::ProgramRun help = test::runBatchProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--search TEXT"));
    EXPECT_TRUE(help.out.contains("--recursive"));
}

}  // namespace
}  // namespace quillmere
