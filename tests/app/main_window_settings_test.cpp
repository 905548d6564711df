#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>

#include "app/main_window.h"
#include "common/ini_file.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"
#include "window_contents.h"

namespace quillmere {
namespace {

class MainWindowSettingsTest : public ::testing::Test {
  protected:
    // A window as the program starts it, with its settings in the sandbox.
    std::unique_ptr<TForm_Main> start(QSize screen = {1920, 1080}) {
        auto window = std::make_unique<TForm_Main>(prompts);
        window->setSettingsFilePath(settingsPath);
        window->setVirtualScreenSize([screen] { return screen; });
        window->FormCreate();
        return window;
    }
    void writeSettings(const QString& text) { sandbox.write("quillmere.ini", text.toUtf8()); }
    static bool close(TForm_Main& window) {
        QCloseEvent event;
        QApplication::sendEvent(&window, &event);
        return event.isAccepted();
    }

    test::Sandbox sandbox;
    const QString settingsPath = sandbox.path("quillmere.ini");
    test::ScriptedPrompts prompts;
};

TEST_F(MainWindowSettingsTest, AFirstCloseCreatesTheSevenEntriesInOrder) {
    auto window = start();
    EXPECT_EQ(window->Edit1->text(), "Edit1");
    EXPECT_TRUE(window->CheckBox_recursive->isChecked());
    EXPECT_EQ(window->size(), QSize(857, 1000));
    ASSERT_TRUE(close(*window));

    QFile file(settingsPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QStringList keys;
    for (const QString& line : lines) keys << line.section('=', 0, 0);
    EXPECT_EQ(keys, (QStringList{"[File]", "Last", "recursive", "[User]", "Date", "[Placement]",
                                 "Top", "Left", "Width", "Height"}));
    const IniFile ini(settingsPath);
    EXPECT_EQ(ini.readString("File", "Last", ""), "Edit1");
    EXPECT_EQ(ini.readInteger("File", "recursive"), 1);
    EXPECT_EQ(ini.readInteger("Placement", "Width"), window->frameGeometry().width());

    // The next start reads it back and scans nothing.
    auto again = start();
    EXPECT_EQ(again->Edit1->text(), "Edit1");
    EXPECT_EQ(again->ListBox1->count(), 0);
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowSettingsTest, ARememberedPatternRefillsTheList) {
    const QString photos = sandbox.path("photos");
    sandbox.write("photos/a.jpg", QByteArray());
    sandbox.write("photos/B.JPG", QByteArray());
    sandbox.write("photos/sub/c.jpg", QByteArray());
    writeSettings("[File]\nLast=" + photos +
                  "/*.JPG\nrecursive=0\n[Placement]\nTop=0x20\nLeft=-50\n");
    auto window = start();
    EXPECT_FALSE(window->CheckBox_recursive->isChecked());
    EXPECT_EQ(test::listed(*window), (QStringList{photos + "/a.jpg", photos + "/B.JPG"}));
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(0, 32));

    writeSettings("[File]\nLast=" + photos + "/\nrecursive=2\n");
    auto folderOnly = start();
    EXPECT_TRUE(folderOnly->CheckBox_recursive->isChecked());
    EXPECT_EQ(folderOnly->ListBox1->count(), 0);
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowSettingsTest, AGoneFolderShowsTheErrorAndSkipsThePlacement) {
    const QString gone = sandbox.path("gone");
    writeSettings("[File]\nLast=" + gone +
                  "/*.PNG\nrecursive=yes\n[Placement]\nLeft=300\nWidth=5000\n");
    auto window = start({1000, 700});
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith("The specified path was not found\r\n[" + gone));
    EXPECT_EQ(window->Edit1->text(), gone + "/*.PNG");
    EXPECT_TRUE(window->CheckBox_recursive->isChecked());
    EXPECT_EQ(window->size(), QSize(857, 1000)) << "neither placed nor clamped";
    EXPECT_FALSE(window->acceptDrops()) << "the drop intake is not set up";
}

TEST_F(MainWindowSettingsTest, ThePlacementIsKeptOnTheVirtualScreen) {
    const struct {
        const char* placement;
        QSize screen;
        QRect expected;
    } cases[] = {
        {"Top=10\nLeft=100\nWidth=2500\nHeight=600\n", {1920, 1080}, {0, 10, 1920, 600}},
        {"Top=-50\nLeft=-50\nWidth=800\nHeight=1100\n", {1920, 1080}, {0, -50, 800, 1100}},
        {"Top=900\nLeft=1800\nWidth=400\nHeight=300\n", {1920, 1080}, {1520, 780, 400, 300}},
        {"Top=0\nLeft=0\nWidth=900\nHeight=900\n", {640, 480}, {0, 0, 640, 480}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placement);
        writeSettings(QStringLiteral("[Placement]\n") + c.placement);
        auto window = start(c.screen);
        EXPECT_EQ(window->frameGeometry(), c.expected);
    }
}

TEST_F(MainWindowSettingsTest, PlacementValuesAtTheThirtyTwoBitLimitsEndOnTheScreen) {
    const struct {
        const char* placement;
        QRect expected;
    } cases[] = {
        {"Top=2147483647\nLeft=2147483647\nWidth=2147483647\nHeight=2147483647\n",
         {0, 0, 1920, 1080}},
        {"Top=2147483647\nLeft=2147483647\nWidth=800\nHeight=600\n", {1120, 480, 800, 600}},
        {"Top=-2147483648\nLeft=-2147483648\nWidth=800\nHeight=600\n", {0, 0, 800, 600}},
        {"Top=-2147483648\nLeft=-2147483648\nWidth=2147483647\nHeight=2147483647\n",
         {0, 0, 1920, 1080}},
        {"Top=$7FFFFFFF\nLeft=0x80000000\nWidth=2147483647\nHeight=600\n", {0, 480, 1920, 600}},
        {"Top=-2147483648\nLeft=2147483647\n", {1063, 0, 857, 1000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placement);
        writeSettings(QStringLiteral("[Placement]\n") + c.placement);
        auto window = start();
        EXPECT_EQ(window->frameGeometry(), c.expected);
        EXPECT_EQ(prompts.errors, QStringList());
    }
}

TEST_F(MainWindowSettingsTest, OnlyARememberedPositionMovesTheWindow) {
    const struct {
        const char* placement;
        bool moved;
    } cases[] = {
        {"", false},
        {"[Placement]\nWidth=700\nHeight=500\n", false},
        {"[Placement]\nTop=10\n", true},
        {"[Placement]\nLeft=0\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placement);
        writeSettings(c.placement);
        auto window = start();
        // A window never moved is placed by the window system when shown.
        EXPECT_EQ(window->testAttribute(Qt::WA_Moved), c.moved);
    }
}

TEST_F(MainWindowSettingsTest, AMinimisedWindowRemembersItsNormalRectangle) {
    const QRect normal(150, 100, 640, 480);
    const struct {
        const char* what;
        Qt::WindowStates state;
    } cases[] = {
        {"normal", Qt::WindowNoState},
        {"minimised", Qt::WindowMinimized},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeSettings("[Placement]\nTop=100\nLeft=150\nWidth=640\nHeight=480\n");
        auto window = start();
        window->show();
        window->setWindowState(c.state);
        ASSERT_EQ(window->windowState(), c.state);
        ASSERT_TRUE(close(*window));
        const IniFile ini(settingsPath);
        EXPECT_EQ(QRect(ini.readInteger("Placement", "Left").value_or(-1),
                        ini.readInteger("Placement", "Top").value_or(-1),
                        ini.readInteger("Placement", "Width").value_or(-1),
                        ini.readInteger("Placement", "Height").value_or(-1)),
                  normal);
    }
}

TEST_F(MainWindowSettingsTest, AnUnwritableSettingsFileKeepsTheWindowOpen) {
    ASSERT_TRUE(QDir().mkdir(sandbox.path("locked.ini")));  // a folder where the file should be
    auto window = std::make_unique<TForm_Main>(prompts);
    window->setSettingsFilePath(sandbox.path("locked.ini"));
    window->FormCreate();
    EXPECT_FALSE(close(*window));
    EXPECT_EQ(prompts.errors,
              QStringList{"Unable to write to " + sandbox.path("locked.ini") + "."});
    EXPECT_FALSE(close(*window));
    EXPECT_EQ(prompts.errors.size(), 2);
}

TEST_F(MainWindowSettingsTest, ClosingKeepsForeignEntries) {
    writeSettings("[Update]\nBaseURL=http://127.0.0.1:1/\n[File]\nLast=typed text\nOther=1\n");
    auto window = start();
    window->Edit1->setText("changed, never scanned");
    ASSERT_TRUE(close(*window));
    const IniFile ini(settingsPath);
    EXPECT_EQ(ini.readString("Update", "BaseURL", ""), "http://127.0.0.1:1/");
    EXPECT_EQ(ini.readString("File", "Other", ""), "1");
    EXPECT_EQ(ini.readString("File", "Last", ""), "changed, never scanned");
}

}  // namespace
}  // namespace quillmere
