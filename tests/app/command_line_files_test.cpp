#include "app/command_line_files.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "common/path_encoding.h"
#include "imaging/codecs/png_encoder.h"
#include "list/absolute_path.h"
#include "preview/image_widget.h"
#include "support/current_folder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"

namespace quillmere {
namespace {

// An argv as the program's main is given it, the program's name first.
class Argv {
  public:
    explicit Argv(const std::vector<QByteArray>& arguments) : bytes_(arguments) {
        bytes_.insert(bytes_.begin(), QByteArray("quillmere"));
        for (const QByteArray& argument : bytes_) pointers_.push_back(argument.constData());
    }
    int argc() const { return static_cast<int>(pointers_.size()); }
    const char* const* argv() const { return pointers_.data(); }

  private:
    std::vector<QByteArray> bytes_;
    std::vector<const char*> pointers_;
};

std::vector<QByteArray> utf8(const QStringList& arguments) {
    std::vector<QByteArray> bytes;
    for (const QString& argument : arguments) bytes.push_back(argument.toUtf8());
    return bytes;
}

// Standard error, caught in a temporary file.
class CaughtWarnings {
  public:
    CaughtWarnings() : file_(std::tmpfile()) {}
    ~CaughtWarnings() { std::fclose(file_); }
    CaughtWarnings(const CaughtWarnings&) = delete;
    CaughtWarnings& operator=(const CaughtWarnings&) = delete;

    std::FILE* file() const { return file_; }
    QString text() const {
        std::fflush(file_);
        std::rewind(file_);
        QByteArray bytes;
        char chunk[256];
        while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, file_))
            bytes.append(chunk, n);
        return decodePath(bytes);
    }

  private:
    std::FILE* file_;
};

TEST(ReadCommandLineFilesTest, MakesNamesAbsoluteAndSetsOptionsApart) {
    const QString here = QStringLiteral("/home/me/pictures");
    const struct {
        QStringList arguments;
        QStringList paths;
        QStringList ignoredOptions;
    } cases[] = {
        {{}, {}, {}},
        // A file manager's absolute paths stay as given.
        {{"/srv/a.png", "/srv/b c/Ä.JPG"}, {"/srv/a.png", "/srv/b c/Ä.JPG"}, {}},
        {{"/srv/./x/../a.png"}, {"/srv/./x/../a.png"}, {}},
        // A shell user's relative ones are joined to the current directory.
        {{"a.png"}, {"/home/me/pictures/a.png"}, {}},
        {{"./sub/../b.png", "../c.png", "sub/"},
         {"/home/me/pictures/b.png", "/home/me/c.png", "/home/me/pictures/sub/"},
         {}},
        {{"a.png", "/srv/b.png", "c.png"},
         {"/home/me/pictures/a.png", "/srv/b.png", "/home/me/pictures/c.png"},
         {}},
        // What starts with "-" is an option, and the program knows none.
        {{"-x", "a.png", "--help", "-", "-style=fusion"},
         {"/home/me/pictures/a.png"},
         {"-x", "--help", "-", "-style=fusion"}},
        // After "--" every argument names a file, a second "--" too.
        {{"-v", "--", "-odd.png", "--", "/srv/-x.png"},
         {"/home/me/pictures/-odd.png", "/home/me/pictures/--", "/srv/-x.png"},
         {"-v"}},
        // An empty argument names no file.
        {{"", "a.png", ""}, {"/home/me/pictures/a.png"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandLineFiles read = readCommandLineFiles(c.arguments, here);
        EXPECT_EQ(read.paths, c.paths);
        EXPECT_EQ(read.ignoredOptions, c.ignoredOptions);
        EXPECT_EQ(read.leftOut, QStringList());
    }
}

TEST(ReadCommandLineFilesTest, WithoutACurrentDirectoryRelativeNamesAreLeftOut) {
    const CommandLineFiles read =
        readCommandLineFiles({"a.png", "/srv/b.png", "-x", "--", "-c.png"}, std::nullopt);
    EXPECT_EQ(read.paths, QStringList{"/srv/b.png"});
    EXPECT_EQ(read.ignoredOptions, QStringList{"-x"});
    EXPECT_EQ(read.leftOut, (QStringList{"a.png", "-c.png"}));
}

TEST(ArgumentsLeftByQtTest, AreDecodedAsFileNames) {
    const QByteArray latin1Name("caf\xe9.png");  // not UTF-8
    const Argv argv({"a.png", QString::fromUtf8("фото.png").toUtf8(), latin1Name, ""});
    const QStringList arguments = argumentsLeftByQt(argv.argc(), argv.argv());
    ASSERT_EQ(arguments.size(), 4);
    EXPECT_EQ(arguments[0], "a.png");
    EXPECT_EQ(arguments[1], QString::fromUtf8("фото.png"));
    EXPECT_EQ(encodePath(arguments[2]), latin1Name) << "names its own file";
    EXPECT_EQ(arguments[3], QString());
    EXPECT_EQ(argumentsLeftByQt(1, argv.argv()), QStringList());
    EXPECT_EQ(argumentsLeftByQt(0, nullptr), QStringList());
}

TEST(CommandLineFilesTest, ReadsAgainstTheCurrentDirectoryAndReportsWhatItCannotUse) {
    const test::Sandbox sandbox;
    ASSERT_TRUE(QDir().mkpath(sandbox.path("work")));
    const test::CurrentFolder inWork(sandbox.path("work"));
    const QString here = currentDirectory();

    CaughtWarnings warnings;
    const Argv argv({"a.png", "-x", "--", "-b.png"});
    EXPECT_EQ(commandLineFiles(argv.argc(), argv.argv(), warnings.file()),
              (QStringList{here + "/a.png", here + "/-b.png"}));
    EXPECT_EQ(warnings.text(),
              "quillmere: unknown option \"-x\" ignored (a file whose name starts with \"-\" goes "
              "after \"--\")\n");

    // A current directory that is gone leaves the relative names out.
    ASSERT_TRUE(QDir().rmdir(sandbox.path("work")));
    CaughtWarnings gone;
    const Argv again({"a.png", sandbox.path("b.png").toUtf8()});
    EXPECT_EQ(commandLineFiles(again.argc(), again.argv(), gone.file()),
              QStringList{sandbox.path("b.png")});
    EXPECT_TRUE(gone.text().startsWith(
        "quillmere: \"a.png\" left out: the current folder cannot be read ("))
        << gone.text().toStdString();
}

// What the list and the preview show, to compare a start with a drop.
struct WindowState {
    QStringList listed;
    QList<int> selectedRows;
    int controlWidth = 0;
    int controlHeight = 0;
    bool autoSize = false;
    QByteArray pixels;
    QString sizeReadout;
    QString log;
    QStringList notices;
    QStringList errors;

    friend bool operator==(const WindowState&, const WindowState&) = default;
};

void PrintTo(const WindowState& s, std::ostream* out) {
    *out << "list [" << s.listed.join(", ").toStdString() << "], preview " << s.controlWidth << "x"
         << s.controlHeight << (s.autoSize ? " auto-size" : "") << ", " << s.pixels.size()
         << " bytes of pixels, notices [" << s.notices.join(", ").toStdString() << "], errors ["
         << s.errors.join(", ").toStdString() << "]";
}

// The program's start: the window's creation handler with the settings in
// the sandbox, then the files the command line names.
class CommandLineStartTest : public ::testing::Test {
  protected:
    CommandLineStartTest() {
        sandbox.write("a.png", encodePng(test::solid(4, 3, {1, 2, 3})));
        sandbox.write("sub/b.png", encodePng(test::solid(7, 5, {9, 8, 7})));
        sandbox.write("notes.txt", QByteArray("not a picture"));
    }

    std::unique_ptr<TForm_Main> created(test::ScriptedPrompts& prompts) {
        auto window = std::make_unique<TForm_Main>(prompts);
        window->setSettingsFilePath(sandbox.path("quillmere.ini"));
        window->setVirtualScreenSize([] { return QSize(1920, 1080); });
        window->FormCreate();
        return window;
    }

    // Started with `arguments` in the folder `folder`.
    WindowState started(const QStringList& arguments, const QString& folder) {
        test::ScriptedPrompts prompts;
        auto window = created(prompts);
        CaughtWarnings warnings;
        {
            const test::CurrentFolder in(folder);
            const Argv argv(utf8(arguments));
            window->takeInPaths(commandLineFiles(argv.argc(), argv.argv(), warnings.file()));
        }
        return stateOf(*window, prompts);
    }

    // Started without arguments, then `paths` dropped on it.
    WindowState dropped(const QStringList& paths) {
        test::ScriptedPrompts prompts;
        auto window = created(prompts);
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(400, 400), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        if (enter.isAccepted()) {
            QDropEvent drop(QPointF(400, 400), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(window.get(), &drop);
        }
        return stateOf(*window, prompts);
    }

    static WindowState stateOf(TForm_Main& window, const test::ScriptedPrompts& prompts) {
        WindowState state;
        for (int i = 0; i < window.ListBox1->count(); ++i) {
            state.listed << window.ListBox1->item(i)->text();
            if (window.ListBox1->item(i)->isSelected()) state.selectedRows << i;
        }
        ImageControl& image = window.Image1->control();
        state.controlWidth = image.width();
        state.controlHeight = image.height();
        state.autoSize = image.autoSize();
        if (image.picture().graphic()) {
            const Bitmap24& bitmap = image.picture().bitmap();
            state.pixels = QByteArray(reinterpret_cast<const char*>(bitmap.bits()),
                                      static_cast<qsizetype>(bitmap.byteCount()));
        }
        state.sizeReadout = window.Label_size->text();
        state.log = window.Memo1->toPlainText();
        state.notices = prompts.notices;
        state.errors = prompts.errors;
        return state;
    }

    test::Sandbox sandbox;
    // The sandbox as the current directory names it, links resolved.
    const QString root = QDir(sandbox.path("")).canonicalPath();
    const QString a = root + "/a.png";
    const QString b = root + "/sub/b.png";
    const QString notes = root + "/notes.txt";
};

TEST_F(CommandLineStartTest, NamedFilesJoinTheListAsADropOfThemDoes) {
    const QString missing = root + "/missing.png";
    const struct {
        const char* what;
        QStringList arguments;  // in the sandbox's folder
        QStringList listed;
        QSize preview;  // the control's size; the design size when nothing loaded
        QStringList notices;
        bool error;
    } cases[] = {
        {"two pictures, a non-picture, a relative path",
         {a, "notes.txt", "sub/../sub/b.png"},
         {a, notes, b},
         {7, 5},
         {},
         false},
        {"a non-picture last",
         {"a.png", b, "./notes.txt"},
         {a, b, notes},
         {158, 158},
         {"Unsupported image file!"},
         false},
        {"options before \"--\"",
         {"-x", "--", "sub/b.png", "--"},
         {b, root + "/--"},
         {158, 158},
         {"Unsupported image file!"},
         false},
        {"a missing file last", {"sub/b.png", "missing.png"}, {b, missing}, {158, 158}, {}, true},
        {"nothing", {}, {}, {158, 158}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WindowState start = started(c.arguments, root);
        EXPECT_EQ(start.listed, c.listed);
        EXPECT_EQ(QSize(start.controlWidth, start.controlHeight), c.preview);
        EXPECT_EQ(start.notices, c.notices);
        EXPECT_EQ(start.errors.size(), c.error ? 1 : 0);
        EXPECT_EQ(start, dropped(c.listed));
    }
}

TEST_F(CommandLineStartTest, TheLastPictureIsPreviewedAtItsOwnSize) {
    const WindowState start = started({"a.png", "sub/b.png"}, root);
    EXPECT_EQ(start.listed, (QStringList{a, b}));
    EXPECT_EQ(QSize(start.controlWidth, start.controlHeight), QSize(7, 5));
    EXPECT_FALSE(start.autoSize);
    EXPECT_EQ(start.pixels, QByteArray("\x09\x08\x07").repeated(7 * 5));
    // As after a drop, the readouts and the log keep their texts and
    // nothing is selected.
    EXPECT_EQ(start.sizeReadout, "Label_size");
    EXPECT_EQ(start.log, "Memo1");
    EXPECT_EQ(start.selectedRows, QList<int>());
}

TEST_F(CommandLineStartTest, FilesFollowTheListTheSettingsRefill) {
    sandbox.write("quillmere.ini", ("[File]\nLast=" + root + "/sub/*.PNG\nrecursive=0\n").toUtf8());
    const WindowState start = started({"a.png"}, root);
    EXPECT_EQ(start.listed, (QStringList{b, a}));
    EXPECT_EQ(QSize(start.controlWidth, start.controlHeight), QSize(4, 3));
    EXPECT_EQ(start, dropped({a}));
}

TEST_F(CommandLineStartTest, AFailedRefillLeavesThemOutAsItLeavesDropsOut) {
    sandbox.write("quillmere.ini", ("[File]\nLast=" + root + "/gone/*.PNG\n").toUtf8());
    const WindowState start = started({"a.png", b}, root);
    EXPECT_EQ(start.listed, QStringList());
    ASSERT_EQ(start.errors.size(), 1) << "the refill's error only";
    EXPECT_EQ(start, dropped({a, b}));
}

}  // namespace
}  // namespace quillmere
