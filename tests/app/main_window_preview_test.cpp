#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "app/main_window.h"
#include "imaging/codecs/png_encoder.h"
#include "imaging/image_process.h"
#include "preview/image_widget.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"
#include "window_contents.h"

namespace quillmere {
namespace {

class MainWindowPreviewTest : public ::testing::Test {
  protected:
    MainWindowPreviewTest() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window.setSettingsFilePath(sandbox.path("quillmere.ini"));
        window.FormCreate();
        window.show();
    }

    QString picture(const QString& name, int width, int height) {
        return sandbox.write(name, encodePng(test::photoLike(width, height)));
    }
    // A click on an entry, as the user makes it.
    void clickEntry(int row) {
        const QRect place = window.ListBox1->visualItemRect(window.ListBox1->item(row));
        QTest::mouseClick(window.ListBox1->viewport(), Qt::LeftButton, {}, place.center());
    }
    void wheel(int delta, Qt::MouseButtons held = Qt::NoButton, QPoint at = {20, 20}) {
        QWidget* viewport = window.ScrollBox1->viewport();
        QWheelEvent event(at, viewport->mapToGlobal(at), {}, {0, delta}, held, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
    ImageControl& image() { return window.Image1->control(); }

    test::Sandbox sandbox;
    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
};

TEST_F(MainWindowPreviewTest, ClickingAnEntryShowsItWithItsReadouts) {
    window.ListBox1->addItems({picture("a.png", 640, 480), picture("b.png", 12345, 67)});
    clickEntry(0);
    EXPECT_EQ(window.Label_rate->text(), "100.00%");
    EXPECT_EQ(window.Label_size->text(), "Size:  640* 480");
    EXPECT_EQ(image().width(), 640);

    clickEntry(1);
    EXPECT_EQ(window.Label_size->text(), "Size: 12345*  67");
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowPreviewTest, AMissingOrBrokenEntryKeepsThePreview) {
    const QString gone = picture("gone.png", 10, 10);
    window.ListBox1->addItems(
        {picture("a.png", 64, 48), gone, sandbox.write("bad.png", QByteArray("x"))});
    clickEntry(0);
    QFile::remove(gone);
    clickEntry(1);
    EXPECT_EQ(window.Label_size->text(), "Size:   64*  48");
    EXPECT_EQ(prompts.errors, QStringList());

    clickEntry(2);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith("The file being read is not a valid"));
    EXPECT_EQ(window.Label_size->text(), "Size:   64*  48");
    EXPECT_EQ(image().picture().bitmap().width(), 64);
}

TEST_F(MainWindowPreviewTest, TheWheelZoomsAboutThePointerAndBothButtonsReset) {
    window.ListBox1->addItem(picture("a.png", 100, 50));
    clickEntry(0);
    wheel(120);
    EXPECT_EQ(image().width(), 120);
    EXPECT_EQ(image().height(), 60);
    EXPECT_TRUE(image().stretch());
    wheel(-120);
    EXPECT_EQ(image().width(), 96);
    wheel(0);
    EXPECT_EQ(image().width(), 96);
    // Readouts change only with a load or a middle-button reset.
    EXPECT_EQ(window.Label_rate->text(), "100.00%");

    wheel(120, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(image().width(), 100);
    EXPECT_EQ(image().height(), 50);
}

TEST_F(MainWindowPreviewTest, TheMiddleButtonResetsAndWritesTheReadouts) {
    window.ListBox1->addItem(picture("a.png", 100, 50));
    clickEntry(0);
    for (int i = 0; i < 4; ++i) wheel(120);
    ASSERT_EQ(image().width(), 208);
    QTest::mouseClick(window.Image1, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(image().width(), 208) << "a right click alone does not reset";
    QTest::mousePress(window.Image1, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(image().width(), 100);
    EXPECT_EQ(window.Label_rate->text(), "100.00%");
    EXPECT_EQ(window.Label_size->text(), "Size:  100*  50");
}

TEST_F(MainWindowPreviewTest, DraggingThePicturePansIt) {
    window.ListBox1->addItem(picture("big.png", 3000, 3000));
    clickEntry(0);
    QScrollBar* horizontal = window.ScrollBox1->horizontalScrollBar();
    horizontal->setValue(400);
    QTest::mousePress(window.Image1, Qt::LeftButton, {}, QPoint(500, 500));
    QMouseEvent move(QEvent::MouseMove, QPointF(550, 500),
                     window.Image1->mapToGlobal(QPointF(550, 500)), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(window.Image1, &move);
    EXPECT_EQ(horizontal->value(), 350);

    horizontal->setValue(10);
    QTest::mousePress(window.Image1, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent far(QEvent::MouseMove, QPointF(200, 100),
                    window.Image1->mapToGlobal(QPointF(200, 100)), Qt::NoButton, Qt::LeftButton,
                    {});
    QApplication::sendEvent(window.Image1, &far);
    EXPECT_EQ(horizontal->value(), 0);
}

TEST_F(MainWindowPreviewTest, ClickingTheSizeLabelAnimatesAGifEntry) {
    const QString gif = sandbox.path("A.GIF");
    {
        ImageControl source;
        source.picture().setGraphic(
            std::make_unique<RasterGraphic>(GraphicKind::Bitmap, test::photoLike(30, 20)));
        ASSERT_TRUE(Save_image_file(gif, source, 0));
    }
    window.ListBox1->addItems({picture("a.png", 158, 96), gif});
    clickEntry(0);

    window.ListBox1->setCurrentRow(0);
    QTest::mouseClick(window.Label_size, Qt::LeftButton);
    EXPECT_EQ(window.statusPanelText(3), QString()) << "a PNG entry is not animated";

    {
        const QSignalBlocker quiet(window.ListBox1);
        window.ListBox1->setCurrentRow(1);
    }
    QTest::mouseClick(window.Label_size, Qt::LeftButton);
    EXPECT_EQ(window.statusPanelText(3), "w:158 h: 96");
    EXPECT_EQ(window.statusPanelText(4), "w: 30 h: 20");
    EXPECT_EQ(image().picture().graphic()->kind(), GraphicKind::Gif);
    EXPECT_EQ(window.Label_size->text(), "Size:  158*  96");

    // The next bitmap request discards the animation: a wheel step blanks
    // the preview and leaves the readouts.
    wheel(120);
    EXPECT_EQ(image().picture().graphic()->kind(), GraphicKind::Bitmap);
    EXPECT_EQ(image().width(), 158);
    QTest::mousePress(window.Image1, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.Label_size->text(), "Size:    0*   0");
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowPreviewTest, TheSizeLabelOnAnEmptyListIsAnIndexError) {
    QTest::mouseClick(window.Label_size, Qt::LeftButton);
    EXPECT_EQ(prompts.errors, QStringList{"List index out of bounds (-1)"});
}

TEST_F(MainWindowPreviewTest, DoubleClickConvertsThePreviewAfterAsking) {
    const QString a = picture("a.png", 20, 10);
    window.ListBox1->addItem(a);
    window.RadioGroup2->button(3)->click();  // GIF
    clickEntry(0);

    prompts.answers.push_back(Prompts::Button::No);
    window.ListBox1DblClick();
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].text, "Convert [a.png] file to GIF format?");
    EXPECT_EQ(prompts.questions[0].kind, Prompts::Kind::Warning);
    EXPECT_EQ(prompts.questions[0].buttons,
              Prompts::Button::Yes | Prompts::Button::No | Prompts::Button::Cancel);

    prompts.answers.push_back(Prompts::Button::Yes);
    const QRect place = window.ListBox1->visualItemRect(window.ListBox1->item(0));
    QTest::mouseDClick(window.ListBox1->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(test::logLines(window),
              (QStringList{"Memo1", "convert one file ", sandbox.path("a.gif")}));
    EXPECT_EQ(test::loadBitmap(sandbox.path("a.gif")).width(), 20);

    prompts.answers.push_back(Prompts::Button::Yes);
    window.ListBox1DblClick();
    EXPECT_EQ(test::logLines(window).mid(3),
              (QStringList{"convert one file ", "file already exist: " + sandbox.path("a.gif")}));
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(MainWindowPreviewTest, DoubleClickKeepsTheQualityFieldAndUsesZeroAsLowest) {
    window.ListBox1->addItem(picture("a.png", 16, 16));
    window.Edit_Jpg_compress_rate->setText("abc");
    clickEntry(0);
    prompts.answers.push_back(Prompts::Button::Yes);
    window.ListBox1DblClick();
    EXPECT_EQ(window.Edit_Jpg_compress_rate->text(), "abc");
    // Quality 1: the largest quantiser steps, so a far smaller file than at 100.
    const auto lowest = test::Sandbox::read(sandbox.path("a.jpg")).size();
    window.Edit_Jpg_compress_rate->setText("100");
    window.CheckBox_over_write->setChecked(true);
    prompts.answers.push_back(Prompts::Button::Yes);
    window.ListBox1DblClick();
    EXPECT_LT(lowest, test::Sandbox::read(sandbox.path("a.jpg")).size());
    EXPECT_TRUE(test::logLines(window).last().endsWith(" -->over write "));
}

TEST_F(MainWindowPreviewTest, DoubleClickOnAnEmptyListIsAnIndexError) {
    QTest::mouseDClick(window.ListBox1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(prompts.errors, QStringList{"List index out of bounds (-1)"});
    EXPECT_EQ(test::logLines(window), QStringList{"Memo1"});
}

}  // namespace
}  // namespace quillmere
