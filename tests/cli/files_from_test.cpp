// Lists of names from a file or standard input (--files-from), one a line
// or NUL-terminated (--null, -0): names are taken byte for byte, so names
// that are not UTF-8, begin with "-" or hold a newline reach their files.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <vector>

#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// Writes a small PNG under a name given as bytes.
void writePicture(const QByteArray& path) {
    const std::vector<std::uint8_t> png = encodePng(test::photoLike(6, 4));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, png.data(), png.size()), static_cast<ssize_t>(png.size()));
    ::close(fd);
}

bool fileExists(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

QByteArray joined(const std::vector<QByteArray>& names, char end) {
    QByteArray text;
    for (const QByteArray& name : names) text += name + end;
    return text;
}

class FilesFromTest : public ::testing::Test {
  protected:
    FilesFromTest() : root(QFile::encodeName(QDir::cleanPath(sandbox.path(".")))) {}
    // The sandbox cannot remove names that are not UTF-8: they go first.
    ~FilesFromTest() override {
        if (DIR* folder = ::opendir(root.constData())) {
            while (const dirent* entry = ::readdir(folder)) {
                if (!QByteArrayView(entry->d_name).isValidUtf8()) {
                    ::unlink((root + '/' + entry->d_name).constData());
                }
            }
            ::closedir(folder);
        }
    }

    test::Sandbox sandbox;
    const QByteArray root;
};

TEST_F(FilesFromTest, ListsTheNamesByteForByteAfterTheSearchAndBeforeThePaths) {
    const std::vector<QByteArray> plain = {"plain.png", "-dash.png", "sp ace.png", "caf\xE9.png",
                                           "sub/deep.png"};
    const std::vector<QByteArray> odd = {"new\nline.png", "-0", "tab\t.png"};
    ASSERT_TRUE(QDir(sandbox.path(".")).mkdir("sub"));
    ASSERT_TRUE(QDir(sandbox.path(".")).mkdir("found"));
    writePicture(root + "/found/x.png");
    const QByteArray listFile = root + "/names.list";

    const struct {
        const char* name;
        bool fromStandardInput;
        bool nul;
        QByteArray text;
        std::vector<QByteArray> expected;
    } cases[] = {
        {"a file, one a line", false, false, joined(plain, '\n'), plain},
        {"standard input, one a line", true, false, joined(plain, '\n'), plain},
        {"a file, NUL-terminated",
         false,
         true,
         joined(odd, '\0') + joined(plain, '\0'),
         {"new\nline.png", "-0", "tab\t.png", "plain.png", "-dash.png", "sp ace.png", "caf\xE9.png",
          "sub/deep.png"}},
        {"standard input, NUL-terminated", true, true, joined(odd, '\0'), odd},
        // The last name may go without its end; empty names are left out;
        // a carriage return stays part of a name.
        {"a file without a last newline",
         false,
         false,
         "a.png\n\n\nb.png\r\nc.png",
         {"a.png", "b.png\r", "c.png"}},
        {"standard input, NUL without a last NUL",
         true,
         true,
         QByteArray("a\nb\0\0c", 6),
         {"a\nb", "c"}},
        {"an empty list", true, false, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file =
            c.fromStandardInput ? QStringLiteral("-") : QFile::decodeName(listFile);
        if (!c.fromStandardInput) {
            const int fd = ::open(listFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, c.text.constData(), static_cast<size_t>(c.text.size())),
                      c.text.size());
            ::close(fd);
        }
        QStringList arguments = {"--list", "--search", "found/*.png", "--files-from", file};
        if (c.nul) arguments << (c.fromStandardInput ? "-0" : "--null");
        arguments << "last.png";
        const test::ProgramRun run = test::runBatchProgram(
            arguments, QFile::decodeName(root), {}, c.fromStandardInput ? c.text : QByteArray());

        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.outBytes, "found/x.png\n" + joined(c.expected, '\n') + "last.png\n");
        EXPECT_EQ(run.err, QString());
    }
}

TEST_F(FilesFromTest, ConvertsOddNamesFromStandardInput) {
    const std::vector<QByteArray> names = {"-dash.png", "new\nline.png", "caf\xE9.png"};
    for (const QByteArray& name : names) writePicture(root + '/' + name);

    const test::ProgramRun run =
        test::runBatchProgram({"--to", "BMP", "--files-from", "-", "--null"},
                              QFile::decodeName(root), {}, joined(names, '\0'));

    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.outBytes, "-dash.bmp\nnew\nline.bmp\ncaf\xE9.bmp\nfinished!\n");
    for (const char* target : {"/-dash.bmp", "/new\nline.bmp", "/caf\xE9.bmp"}) {
        EXPECT_TRUE(fileExists(root + target)) << target;
    }
}

TEST_F(FilesFromTest, WrongUsesAndUnreadableListsFail) {
    const struct {
        QStringList arguments;
        int status;
        QString errStart;
    } cases[] = {
        {{"--list", "--null", "a.png"}, 2, "quillmere-batch: --null needs --files-from\n"},
        {{"--list", "-0"}, 2, "quillmere-batch: --null needs --files-from\n"},
        {{"--list", "--files-from"}, 2, "quillmere-batch: --files-from needs a value\n"},
        {{"--list", "--null=yes", "--files-from", "-"},
         2,
         "quillmere-batch: --null takes no value\n"},
        {{"--list", "--files-from", "missing.list"},
         1,
         "Cannot read the list of files \"missing.list\". No such file or directory.\n"},
        {{"--list", "--files-from", "."},
         1,
         "Cannot read the list of files \".\". Is a directory.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const test::ProgramRun run = test::runBatchProgram(c.arguments, QFile::decodeName(root));
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.startsWith(c.errStart)) << run.err.toStdString();
        EXPECT_EQ(run.out, QString());
    }
}

}  // namespace
}  // namespace quillmere
