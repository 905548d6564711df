#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include "app/main_window.h"
#include "imaging/codecs/png_encoder.h"
#include "preview/image_widget.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/recording_shell.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"
#include "window_contents.h"

namespace quillmere {
namespace {

class MainWindowListCommandsTest : public ::testing::Test {
  protected:
    MainWindowListCommandsTest() {
        auto recorder = std::make_unique<test::RecordingShell>();
        shell = recorder.get();
        window.setDesktopShell(std::move(recorder));
        window.setSettingsFilePath(sandbox.path("quillmere.ini"));
        window.setVirtualScreenSize([] { return QSize(1920, 1080); });
        window.FormCreate();
    }

    QStringList fill(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names) paths << sandbox.write(name, QByteArray("data"));
        window.ListBox1->addItems(paths);
        return paths;
    }
    void select(std::initializer_list<int> rows) {
        for (int row : rows) window.ListBox1->item(row)->setSelected(true);
    }
    void release(int key, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent event(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(window.ListBox1, &event);
    }
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(400, 400), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(400, 400), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &dropped);
    }

    test::Sandbox sandbox;
    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
    test::RecordingShell* shell = nullptr;
};

TEST_F(MainWindowListCommandsTest, EveryReleasedKeyShowsItsCode) {
    // The key Qt reports, the XKB key code of the key's place (0 where the
    // platform gives none), the modifiers, and the code shown.
    const struct {
        int key;
        quint32 place;
        Qt::KeyboardModifiers modifiers;
        const char* code;
    } cases[] = {
        {Qt::Key_Shift, 0, {}, "16"},
        {Qt::Key_Down, 0, {}, "40"},
        {Qt::Key_A, 0, {}, "65"},
        {Qt::Key_F5, 0, {}, "116"},
        {Qt::Key_A, 38, {}, "65"},
        // The digit row by place, whatever it produces.
        {Qt::Key_Exclam, 10, Qt::ShiftModifier, "49"},
        {Qt::Key_Ampersand, 10, {}, "49"},
        {Qt::Key_ParenRight, 19, Qt::ShiftModifier, "48"},
        // Punctuation by place.
        {Qt::Key_Semicolon, 47, {}, "186"},
        {Qt::Key_Colon, 47, Qt::ShiftModifier, "186"},
        {Qt::Key_Equal, 21, {}, "187"},
        {Qt::Key_Comma, 59, {}, "188"},
        {Qt::Key_Minus, 20, {}, "189"},
        {Qt::Key_Period, 60, {}, "190"},
        {Qt::Key_Question, 61, Qt::ShiftModifier, "191"},
        {Qt::Key_QuoteLeft, 49, {}, "192"},
        {Qt::Key_BracketLeft, 34, {}, "219"},
        {Qt::Key_Backslash, 51, {}, "220"},
        {Qt::Key_BracketRight, 35, {}, "221"},
        {Qt::Key_Apostrophe, 48, {}, "222"},
        // The keypad: digits by their own numbers, other keys as produced.
        {Qt::Key_0, 90, Qt::KeypadModifier, "96"},
        {Qt::Key_5, 84, Qt::KeypadModifier, "101"},
        {Qt::Key_9, 81, Qt::KeypadModifier, "105"},
        {Qt::Key_Plus, 86, Qt::KeypadModifier, "107"},
        {Qt::Key_Home, 79, Qt::KeypadModifier, "36"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        QKeyEvent event(QEvent::KeyRelease, c.key, c.modifiers, c.place, 0, 0);
        QApplication::sendEvent(window.ListBox1, &event);
        EXPECT_EQ(window.statusPanelText(0), c.code);
    }
}

TEST_F(MainWindowListCommandsTest, DeleteRemovesTheSelectionFromTheListOnly) {
    const QStringList paths = fill({"a.png", "b.png", "c.png", "d.png"});
    select({1, 3});
    release(Qt::Key_Delete);
    EXPECT_EQ(window.statusPanelText(0), "46");
    EXPECT_EQ(test::listed(window), (QStringList{paths[0], paths[2]}));
    for (const QString& path : paths) EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(prompts.questions.size(), 0);

    // Ctrl+Delete and Alt+Delete do the same.
    select({0});
    release(Qt::Key_Delete, Qt::ControlModifier);
    select({0});
    release(Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(test::listed(window), QStringList());
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});
}

TEST_F(MainWindowListCommandsTest, ShiftDeleteDeletesAfterConfirmation) {
    const QStringList paths = fill({"a.png", "b.png", "c.png"});
    select({0, 2});
    prompts.answers.push_back(Prompts::Button::Cancel);
    release(Qt::Key_Delete, Qt::ShiftModifier);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].text, "Permanent delete?");
    EXPECT_EQ(prompts.questions[0].kind, Prompts::Kind::Confirmation);
    EXPECT_EQ(prompts.questions[0].buttons, Prompts::Button::Yes | Prompts::Button::Cancel);
    EXPECT_EQ(test::listed(window), paths);
    EXPECT_TRUE(QFile::exists(paths[0]));

    prompts.answers.push_back(Prompts::Button::Yes);
    release(Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(test::logLines(window), (QStringList{"Memo1", "Permanent delete: " + paths[0],
                                                   "Permanent delete: " + paths[2]}));
    EXPECT_FALSE(QFile::exists(paths[0]));
    EXPECT_TRUE(QFile::exists(paths[1]));
    EXPECT_FALSE(QFile::exists(paths[2]));
    EXPECT_EQ(test::listed(window), QStringList{paths[1]});

    // Shift with another key asks nothing.
    release(Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(prompts.questions.size(), 2);
}

TEST_F(MainWindowListCommandsTest, PermanentDeleteSparesFoldersAndLinkTargets) {
    const QString target = sandbox.path("target");
    ASSERT_TRUE(QDir().mkpath(target + "/inside"));
    sandbox.write("target/keep.png", QByteArray("x"));
    const QString link = sandbox.path("link");
    ASSERT_TRUE(QFile::link(target, link));
    const QString folder = sandbox.path("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString gone = sandbox.path("gone.png");
    window.ListBox1->addItems({link, folder, gone});
    select({0, 1, 2});

    prompts.answers.push_back(Prompts::Button::Yes);
    window.findChild<QAction*>("Permanentdelete1")->trigger();
    EXPECT_EQ(window.statusPanelText(0), "46");
    EXPECT_EQ(test::logLines(window).mid(1),
              (QStringList{"Permanent delete: " + link, "Permanent delete: " + folder,
                           "Permanent delete: " + gone}));
    EXPECT_FALSE(QFileInfo(link).isSymLink() || QFileInfo::exists(link));
    EXPECT_TRUE(QFile::exists(target + "/keep.png"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(test::listed(window), QStringList());
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowListCommandsTest, ShiftDeleteWithNothingSelectedStillAsks) {
    fill({"a.png"});
    prompts.answers.push_back(Prompts::Button::Yes);
    release(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(window.ListBox1->count(), 1);
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});
}

TEST_F(MainWindowListCommandsTest, TheMenuRemovesAndShowsInTheFileManager) {
    window.findChild<QAction*>("showinExplorer1")->trigger();
    EXPECT_EQ(prompts.errors, QStringList{"List index out of bounds (-1)"});
    EXPECT_EQ(shell->shown, QStringList());

    const QStringList paths = fill({"a.png", "b.png", "c.png"});
    select({0, 1});
    window.ListBox1->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    window.findChild<QAction*>("showinExplorer1")->trigger();
    EXPECT_EQ(shell->shown, QStringList{paths[2]});

    window.findChild<QAction*>("PopupMenu_delete")->trigger();
    EXPECT_EQ(test::listed(window), QStringList{paths[2]});
}

TEST_F(MainWindowListCommandsTest, DroppedFilesJoinTheListAndTheLastIsPreviewed) {
    window.ListBox1->addItem("existing");
    window.ListBox1->item(0)->setSelected(true);
    const QString a = sandbox.write("a.png", encodePng(test::solid(4, 3, {1, 2, 3})));
    const QString b =
        sandbox.write(QString::fromUtf8("фото/照片.png"), encodePng(test::solid(7, 5, {9, 8, 7})));
    drop({a, a, b});
    EXPECT_EQ(test::listed(window), (QStringList{"existing", a, a, b}));
    EXPECT_TRUE(window.ListBox1->item(0)->isSelected());
    const ImageControl& image = window.Image1->control();
    EXPECT_EQ(image.width(), 7);
    EXPECT_EQ(image.height(), 5);
    EXPECT_FALSE(image.autoSize());
    EXPECT_EQ(const_cast<ImageControl&>(image).picture().bitmap().pixel(6, 4), (Rgb{9, 8, 7}));
    EXPECT_EQ(window.Label_size->text(), "Label_size");
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});
    EXPECT_EQ(prompts.notices, QStringList());
}

TEST_F(MainWindowListCommandsTest, AnUnusableDropIsReported) {
    const QString picture = sandbox.write("a.png", encodePng(test::solid(4, 3, {1, 2, 3})));
    drop({picture});
    const QString folder = sandbox.path("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString text = sandbox.write("notes.txt", QByteArray("hello"));
    drop({folder});
    drop({text});
    EXPECT_EQ(prompts.notices, (QStringList{"Unsupported image file!", "Unsupported image file!"}));
    EXPECT_EQ(test::listed(window), (QStringList{picture, folder, text}));
    // The preview keeps its picture, and auto-size stays on.
    EXPECT_EQ(window.Image1->control().picture().width(), 4);
    EXPECT_TRUE(window.Image1->control().autoSize());

    // Other load errors go to the error box.
    const QString missing = sandbox.path("missing.png");
    drop({missing});
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith("Cannot open file \"" + missing + "\"."));
    EXPECT_EQ(test::listed(window).last(), missing);
}

TEST_F(MainWindowListCommandsTest, ARightClickOnlyOpensTheMenuOverTheEarlierSelection) {
    const QStringList paths = fill({"a.png", "b.png", "c.png"});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.ListBox1->setCurrentRow(0);
    QWidget* viewport = window.ListBox1->viewport();
    const QPoint onC = window.ListBox1->visualItemRect(window.ListBox1->item(2)).center();

    // Through the window, as the desktop delivers a click, so that the
    // toolkit also asks for the pop-up menu.
    QWindow* handle = window.windowHandle();
    const QPoint inWindow = viewport->mapTo(&window, onC);
    QTest::mouseClick(handle, Qt::RightButton, {}, inWindow);
    EXPECT_TRUE(window.PopupMenu1->isVisible());
    window.PopupMenu1->hide();
    QTest::mouseDClick(handle, Qt::RightButton, {}, inWindow);
    window.PopupMenu1->hide();
    EXPECT_EQ(window.ListBox1->currentRow(), 0);
    EXPECT_EQ(window.ListBox1->selectedItems(), QList<QListWidgetItem*>{window.ListBox1->item(0)});
    EXPECT_EQ(prompts.questions.size(), 0);  // no double-click conversion either

    // The menu's commands then act on what was selected before the click.
    window.findChild<QAction*>("PopupMenu_delete")->trigger();
    EXPECT_EQ(test::listed(window), paths.mid(1));
}

}  // namespace
}  // namespace quillmere
