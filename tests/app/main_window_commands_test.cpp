#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

#include "app/main_window.h"
#include "conversion_wait.h"
#include "imaging/codecs/png_encoder.h"
#include "preview/image_widget.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"
#include "window_contents.h"

namespace quillmere {
namespace {

class MainWindowCommandsTest : public ::testing::Test {
  protected:
    MainWindowCommandsTest() {
        window.setSettingsFilePath(sandbox.path("quillmere.ini"));
        window.FormCreate();
    }

    QString picture(const QString& name, Rgb colour = {10, 20, 30}) {
        return sandbox.write(name, encodePng(test::solid(5, 3, colour)));
    }
    QString folder(const QString& name) {
        EXPECT_TRUE(QDir().mkpath(sandbox.path(name)));
        return sandbox.path(name);
    }
    void click(const char* name) { window.findChild<QAbstractButton*>(name)->click(); }
    void chooseTargetFormat(const QString& format) {
        for (QAbstractButton* button : window.RadioGroup2->buttons()) {
            if (button->text() == format) button->click();
        }
    }
    void convert() {
        click("Button_Convert");
        ASSERT_TRUE(test::waitForConversion(window));
    }

    test::Sandbox sandbox;
    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
};

TEST_F(MainWindowCommandsTest, ConvertButtonConvertsTheListIntoTheLog) {
    const QString a = picture("a.png");
    const QString b = picture("b.png", {200, 0, 0});
    window.ListBox1->addItems({a, b});
    window.RadioGroup2->button(0)->click();  // BMP
    convert();

    EXPECT_EQ(prompts.errors, QStringList());
    EXPECT_EQ(test::logLines(window),
              (QStringList{"Memo1", sandbox.path("a.bmp"), sandbox.path("b.bmp"), "finished!"}));
    // The preview holds the last picture converted, at its size.
    EXPECT_EQ(window.Image1->control().width(), 5);
    EXPECT_EQ(window.Image1->control().picture().bitmap().pixel(0, 0), (Rgb{200, 0, 0}));

    window.CheckBox_over_write->setChecked(true);
    window.Edit_Jpg_compress_rate->setText("abc");
    window.ListBox1->item(1)->setSelected(true);
    convert();
    EXPECT_EQ(test::logLines(window).mid(4),
              (QStringList{"file already exist: " + sandbox.path("a.bmp") + " -->over write ",
                           "file already exist: " + sandbox.path("b.bmp") + " -->over write ",
                           "finished!"}));
    EXPECT_EQ(window.Edit_Jpg_compress_rate->text(), "100");
}

TEST_F(MainWindowCommandsTest, ConvertErrorsGoToTheErrorBox) {
    window.ListBox1->addItems({picture("a.png"), sandbox.write("broken.gif", QByteArray("nope")),
                               sandbox.write("notes.txt", QByteArray("text"))});
    convert();
    EXPECT_EQ(prompts.errors, QStringList{"Invalid GIF signature."});
    EXPECT_EQ(test::logLines(window), (QStringList{"Memo1", sandbox.path("a.jpg")}));
    // The preview keeps the last picture that loaded.
    ASSERT_EQ(window.Image1->control().width(), 5);
    EXPECT_EQ(window.Image1->control().picture().bitmap().pixel(0, 0), (Rgb{10, 20, 30}));

    delete window.ListBox1->takeItem(1);
    convert();
    EXPECT_EQ(prompts.errors.last(), "Unknown picture file extension (.txt)");
}

TEST_F(MainWindowCommandsTest, TwoOrMoreSelectedEntriesNarrowTheRun) {
    window.ListBox1->addItems({picture("a.png"), picture("b.png"), picture("c.png")});
    chooseTargetFormat("BMP");
    window.ListBox1->item(0)->setSelected(true);
    window.ListBox1->item(2)->setSelected(true);
    convert();
    EXPECT_EQ(test::logLines(window),
              (QStringList{"Memo1", sandbox.path("a.bmp"), sandbox.path("c.bmp"), "finished!"}));
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("b.bmp")));
}

// A run reads the quality field leniently; a text that reads as 0 is
// converted at 100, and the field then shows "100".
TEST_F(MainWindowCommandsTest, TheQualityFieldShowsWhatTheRunRead) {
    const struct {
        const char* text;
        const char* after;
    } cases[] = {
        {"0", "100"},   {"", "100"},  {"abc", "100"}, {"90 ", "100"},   {"$50", "$50"},
        {"256", "256"}, {"-5", "-5"}, {"50", "50"},   {" 100", " 100"},
    };
    for (const auto& c : cases) {
        window.Edit_Jpg_compress_rate->setText(c.text);
        convert();
        EXPECT_EQ(window.Edit_Jpg_compress_rate->text(), c.after) << '"' << c.text << '"';
    }
}

TEST_F(MainWindowCommandsTest, TheQualityTypedIsTheJpegQuality) {
    const QString source = sandbox.write("photo.png", encodePng(test::photoLike(64, 64)));
    window.ListBox1->addItem(source);
    chooseTargetFormat("JPG");
    window.CheckBox_over_write->setChecked(true);
    const auto sizeAt = [&](const char* quality) {
        window.Edit_Jpg_compress_rate->setText(quality);
        convert();
        return QFileInfo(sandbox.path("photo.jpg")).size();
    };
    // "256" is the lowest quality, an unreadable text the highest.
    const qint64 lowest = sizeAt("256");
    const qint64 highest = sizeAt("abc");
    EXPECT_GT(lowest, 0);
    EXPECT_GT(highest, 2 * lowest);
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowCommandsTest, FilesSelectListsThePickedFilesAndKeepsTheirFolder) {
    const QString a = picture("a.png");
    const QString b = picture("sub/b.gif");
    window.ListBox1->addItem("old entry");
    prompts.pickedFiles.push_back(
        QStringList{a, sandbox.path("sub/b.gif"), sandbox.path("sub/c.jpg")});
    click("Button1");
    EXPECT_EQ(test::listed(window), (QStringList{a, b, sandbox.path("sub/c.jpg")}));
    EXPECT_EQ(window.Edit1->text(), sandbox.path("sub") + "/");
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});

    // A later cancel empties the list and keeps the text.
    prompts.pickedFiles.push_back({});  // cancel
    click("Button1");
    EXPECT_EQ(test::listed(window), QStringList());
    EXPECT_EQ(window.Edit1->text(), sandbox.path("sub") + "/");

    // Toggling the switch rescans nothing: the text holds no pattern.
    click("CheckBox_recursive");
    EXPECT_EQ(test::listed(window), QStringList());
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowCommandsTest, FolderSelectScansTheChosenFolder) {
    const QString photos = folder("photos");
    sandbox.write("photos/a.bmp", QByteArray());
    sandbox.write("photos/B.BMP", QByteArray());
    sandbox.write("photos/c.png", QByteArray());
    sandbox.write("photos/deep/d.bmp", QByteArray());

    prompts.pickedFolders.push_back(photos);
    click("Button_folder_select");
    EXPECT_EQ(window.Edit1->text(), photos + "/*.BMP");
    EXPECT_EQ(window.Memo1->toPlainText(), QString());
    EXPECT_EQ(test::listed(window),
              (QStringList{photos + "/a.bmp", photos + "/B.BMP", photos + "/deep/d.bmp"}));

    // Without recursion only the folder's own files.
    click("CheckBox_recursive");
    EXPECT_EQ(test::listed(window), (QStringList{photos + "/a.bmp", photos + "/B.BMP"}));
}

TEST_F(MainWindowCommandsTest, AFolderEndingInASlashGetsASecondOne) {
    const QString photos = folder("photos");
    sandbox.write("photos/a.bmp", QByteArray());
    prompts.pickedFolders.push_back(photos + "/");
    click("Button_folder_select");
    EXPECT_EQ(window.Edit1->text(), photos + "//*.BMP");
    EXPECT_EQ(test::listed(window), QStringList{photos + "/a.bmp"});

    // A rescan from the text keeps both slashes in the directory part.
    click("CheckBox_recursive");
    EXPECT_EQ(test::listed(window), QStringList{photos + "//a.bmp"});
}

TEST_F(MainWindowCommandsTest, ACancelledFolderDialogKeepsTextAndLog) {
    window.ListBox1->addItem("entry");
    prompts.pickedFolders.push_back({});  // cancel
    click("Button_folder_select");
    EXPECT_EQ(test::listed(window), QStringList());
    EXPECT_EQ(window.Edit1->text(), "Edit1");
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});
}

TEST_F(MainWindowCommandsTest, ATypedFileNamePartIsKeptOnASwitchChangeAndReplacedOnAFormatChange) {
    const QString photos = folder("photos");
    for (const char* name : {"IMG_1.JPG", "IMG_2.jpg", "other.jpg", "IMG_3.png", "x.png"}) {
        sandbox.write(QStringLiteral("photos/") + name, QByteArray());
    }
    window.Edit1->setText(photos + "/IMG_*.JPG");
    click("CheckBox_recursive");
    EXPECT_EQ(test::listed(window), (QStringList{photos + "/IMG_1.JPG", photos + "/IMG_2.jpg"}));

    window.RadioGroup1->button(2)->click();  // PNG
    EXPECT_EQ(window.Edit1->text(), photos + "/*.PNG");
    EXPECT_EQ(test::listed(window), (QStringList{photos + "/IMG_3.png", photos + "/x.png"}));

    // Clicking the item already selected runs nothing.
    window.Edit1->setText(photos + "/IMG_*.png");
    window.RadioGroup1->button(2)->click();
    EXPECT_EQ(window.Edit1->text(), photos + "/IMG_*.png");
}

TEST_F(MainWindowCommandsTest, ScanFailuresAreShownAndLeaveTheListEmpty) {
    window.ListBox1->addItem("entry");
    window.Edit1->setText("*.JPG");
    click("CheckBox_recursive");
    EXPECT_EQ(prompts.errors, QStringList{"Path is empty."});
    EXPECT_EQ(test::listed(window), QStringList());

    const QString missing = sandbox.path("nope") + "/";
    window.Edit1->setText(missing + "*.JPG");
    click("CheckBox_recursive");
    ASSERT_EQ(prompts.errors.size(), 2);
    EXPECT_TRUE(prompts.errors[1].startsWith("The specified path was not found\r\n[" +
                                             sandbox.path("nope")))
        << prompts.errors[1].toStdString();
    EXPECT_TRUE(prompts.errors[1].endsWith("]."));

    // A format change on a text without a folder says the same.
    window.Edit1->setText("pattern only");
    window.RadioGroup1->button(1)->click();
    EXPECT_EQ(window.Edit1->text(), "*.JPG");
    EXPECT_EQ(prompts.errors.last(), "Path is empty.");
}

// However long the list, each way of scanning fills it in one insertion,
// which the list lays out once.
TEST_F(MainWindowCommandsTest, EveryScanFillsTheListInOneInsertion) {
    constexpr int kFiles = 200;
    const QString photos = folder("photos");
    for (int i = 0; i < kFiles; ++i)
        sandbox.write(QStringLiteral("photos/f%1.bmp").arg(i), QByteArray());
    const QString settings = sandbox.path("filling.ini");
    const struct {
        const char* how;
        std::function<void(TForm_Main&)> fill;
    } ways[] = {
        {"the remembered search at start",
         [&](TForm_Main& fresh) {
             sandbox.write("filling.ini", ("[File]\nLast=" + photos + "/*.BMP\n").toUtf8());
             fresh.FormCreate();
         }},
        {"Folder Select",
         [&](TForm_Main& fresh) {
             fresh.FormCreate();
             prompts.pickedFolders.push_back(photos);
             fresh.findChild<QAbstractButton*>("Button_folder_select")->click();
         }},
        {"the recursive switch",
         [&](TForm_Main& fresh) {
             fresh.FormCreate();
             fresh.Edit1->setText(photos + "/*.BMP");
             fresh.findChild<QAbstractButton*>("CheckBox_recursive")->click();
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        QFile::remove(settings);
        TForm_Main fresh(prompts);
        fresh.setSettingsFilePath(settings);
        int insertions = 0;
        QObject::connect(fresh.ListBox1->model(), &QAbstractItemModel::rowsInserted,
                         [&] { ++insertions; });
        way.fill(fresh);
        EXPECT_EQ(fresh.ListBox1->count(), kFiles);
        EXPECT_EQ(insertions, 1);
    }
    EXPECT_EQ(prompts.errors, QStringList());
}

}  // namespace
}  // namespace quillmere
