#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "app/main_window.h"
#include "preview/image_widget.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"

namespace quillmere {
namespace {

class MainWindowDesignTest : public ::testing::Test {
  protected:
    template <typename T>
    T* control(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
};

TEST_F(MainWindowDesignTest, StartsInTheDesignState) {
    const test::Sandbox sandbox;
    window.setSettingsFilePath(sandbox.path("quillmere.ini"));
    window.setVirtualScreenSize([] { return QSize(1920, 1080); });
    window.FormCreate();
    EXPECT_EQ(window.objectName(), "Form_Main");
    EXPECT_EQ(window.windowTitle(), "Quillmere");
    EXPECT_EQ(window.size(), QSize(857, 1000));
    EXPECT_EQ(window.font().pointSize(), 9);
    EXPECT_FALSE(window.isVisible());

    EXPECT_EQ(control<QLineEdit>("Edit1")->text(), "Edit1");
    EXPECT_EQ(control<QListWidget>("ListBox1")->count(), 0);
    EXPECT_EQ(control<QListWidget>("ListBox1")->selectionMode(),
              QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(control<QCheckBox>("CheckBox_recursive")->isChecked());
    EXPECT_EQ(window.RadioGroup1->checkedButton()->text(), "BMP");
    EXPECT_EQ(window.RadioGroup2->checkedButton()->text(), "JPG");
    EXPECT_EQ(control<QLineEdit>("Edit_Jpg_compress_rate")->text(), "90");
    EXPECT_FALSE(control<QCheckBox>("CheckBox_over_write")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>("Memo1")->toPlainText(), "Memo1");
    EXPECT_EQ(control<QPlainTextEdit>("Memo1")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(control<QPlainTextEdit>("Memo1")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(control<QLabel>("Label_rate")->text(), "Label_rate");
    EXPECT_EQ(control<QLabel>("Label_size")->text(), "Label_size");
    for (int panel = 0; panel < 5; ++panel) EXPECT_EQ(window.statusPanelText(panel), QString());
    EXPECT_EQ(prompts.errors, QStringList());

    const ImageControl& image = control<ImageWidget>("Image1")->control();
    EXPECT_TRUE(image.autoSize());
    EXPECT_FALSE(image.stretch());
    EXPECT_EQ(QRect(image.left(), image.top(), image.width(), image.height()),
              QRect(3, 3, 158, 158));
    EXPECT_EQ(image.picture().graphic(), nullptr);
}

TEST_F(MainWindowDesignTest, CaptionsAndItems) {
    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {{"Button1", "Files Select"},
                   {"Button_folder_select", "Folder Select"},
                   {"SpeedButton1", "?"},
                   {"Button_Convert", "Convert to: "},
                   {"CheckBox_recursive", "Recursive"},
                   {"CheckBox_over_write", "Over Write"}};
    for (const auto& b : buttons) EXPECT_EQ(control<QAbstractButton>(b.name)->text(), b.caption);
    EXPECT_EQ(control<QGroupBox>("RadioGroup1")->title(), "File_format");
    EXPECT_EQ(control<QGroupBox>("RadioGroup2")->title(), "File_format_to");
    EXPECT_EQ(control<QLabel>("Label1")->text(), "JPG compress rate");
    EXPECT_EQ(control<QToolButton>("SpeedButton1")->focusPolicy(), Qt::NoFocus);

    for (QButtonGroup* group : {window.RadioGroup1, window.RadioGroup2}) {
        QStringList items;
        for (QAbstractButton* button : group->buttons()) items << button->text();
        EXPECT_EQ(items, (QStringList{"BMP", "JPG", "PNG", "GIF", "TIFF"}));
    }

    QStringList menu;
    for (QAction* action : control<QMenu>("PopupMenu1")->actions()) {
        menu << action->objectName() + "=" + action->text();
    }
    EXPECT_EQ(menu, (QStringList{"PopupMenu_delete=Delete (remove for list)",
                                 "showinExplorer1=Show in Explorer",
                                 "Permanentdelete1=Permanent delete"}));
}

TEST_F(MainWindowDesignTest, PlacesTheControlsAndBands) {
    window.show();
    const struct {
        const char* name;
        QRect place;
    } places[] = {
        {"Button1", {7, 7, 83, 20}},
        {"Edit1", {96, 7, 713, 23}},
        {"SpeedButton1", {815, 8, 34, 33}},
        {"Button_folder_select", {7, 43, 83, 20}},
        {"RadioGroup1", {96, 34, 321, 56}},
        {"CheckBox_recursive", {7, 70, 79, 20}},
        {"Button_Convert", {7, 6, 105, 20}},
        {"RadioGroup2", {118, 6, 336, 37}},
        {"Edit_Jpg_compress_rate", {579, 6, 42, 23}},
    };
    for (const auto& p : places) EXPECT_EQ(control<QWidget>(p.name)->geometry(), p.place) << p.name;
    // Wider than the design where the font's caption needs it.
    const QRect overWrite = control<QWidget>("CheckBox_over_write")->geometry();
    EXPECT_EQ(overWrite.topLeft(), QPoint(627, 6));
    EXPECT_EQ(overWrite.height(), 15);
    EXPECT_GE(overWrite.width(), 79);
    // The quality label stands at 477, or further left when its caption
    // would otherwise run under the field.
    const QRect label = control<QLabel>("Label1")->geometry();
    EXPECT_EQ(label.y(), 6);
    EXPECT_EQ(label.x(), std::min(477, 579 - 2 - label.width()));
    EXPECT_EQ(control<QLabel>("Label_rate")->pos(), QPoint(592, 41));
    EXPECT_EQ(control<QLabel>("Label_size")->pos(), QPoint(664, 41));

    EXPECT_EQ(control<QWidget>("Bevel2")->height(), 105);
    EXPECT_EQ(control<QWidget>("ListBox1")->height(), 192);
    EXPECT_EQ(control<QWidget>("Memo1")->height(), 237);
    EXPECT_EQ(control<QWidget>("Panel1")->height(), 64);
    for (const char* splitter : {"Splitter1", "Splitter2", "Splitter3"}) {
        EXPECT_EQ(control<QSplitterHandle>(splitter)->height(), 8) << splitter;
    }
    EXPECT_GE(control<QWidget>("ScrollBox1")->height(), 350);

    auto* status = control<QStatusBar>("StatusBar1");
    EXPECT_EQ(status->findChildren<QLabel*>(QRegularExpression("^StatusBar1_Panel\\d$")).size(), 5);
    EXPECT_EQ(control<QLabel>("StatusBar1_Panel4")->width(), 160);

    // Edit1 and the "?" button follow the right edge.
    window.resize(1057, 1000);
    EXPECT_EQ(control<QWidget>("Edit1")->width(), 913);
    EXPECT_EQ(control<QWidget>("SpeedButton1")->x(), 1015);
    // The preview takes what the bands above leave.
    EXPECT_EQ(control<QWidget>("Memo1")->height(), 237);
}

TEST_F(MainWindowDesignTest, TabsThroughTheControlsInOrder) {
    const QStringList expected = {"Edit1",
                                  "Memo1",
                                  "Button1",
                                  "ListBox1",
                                  "Button_folder_select",
                                  "RadioGroup1_BMP",
                                  "CheckBox_recursive",
                                  "ScrollBox1",
                                  "Button_Convert",
                                  "Edit_Jpg_compress_rate",
                                  "CheckBox_over_write",
                                  "RadioGroup2_BMP"};
    QStringList order;
    QWidget* widget = window.findChild<QWidget*>("Edit1");
    for (int step = 0; step < 200 && order.size() < expected.size(); ++step) {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName())) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindowDesignTest, TheWindowCanBeMadeAsNarrowAsTheUserLikes) {
    window.show();
    for (const int width : {700, 400, 200}) {
        SCOPED_TRACE(width);
        window.resize(width, 700);
        QTest::qWait(1);
        EXPECT_EQ(window.width(), width);
    }
}

TEST_F(MainWindowDesignTest, EveryCaptionFitsItsControl) {
    window.show();
    QTest::qWait(1);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisible()) continue;
        const auto* label = qobject_cast<QLabel*>(control);
        const auto* button = qobject_cast<QAbstractButton*>(control);
        if (!(label && !label->text().isEmpty()) && !(button && !button->text().isEmpty())) {
            continue;
        }
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_LE(control->sizeHint().width(), control->width());
        // Nor does a later sibling cover it.
        for (QObject* sibling : control->parent()->children()) {
            auto* other = qobject_cast<QWidget*>(sibling);
            if (!other || other == control || !other->isVisible()) continue;
            if (control->parent()->children().indexOf(sibling) <
                control->parent()->children().indexOf(control)) {
                continue;
            }
            EXPECT_FALSE(other->geometry().intersects(control->geometry()))
                << other->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowDesignTest, EachSplitterResizesTheBandAboveItAndThePreviewTheRest) {
    window.show();
    QTest::qWait(1);
    const auto heights = [this] {
        return QList<int>{
            control<QWidget>("Bevel2")->height(), control<QWidget>("ListBox1")->height(),
            control<QWidget>("Memo1")->height(), control<QWidget>("ScrollBox1")->height()};
    };
    for (int splitter = 1; splitter <= 3; ++splitter) {
        SCOPED_TRACE(splitter);
        auto* handle =
            control<QSplitterHandle>(qPrintable(QStringLiteral("Splitter%1").arg(splitter)));
        const QList<int> before = heights();
        const QPoint grip = handle->rect().center();
        // Positions are the handle's own, and the handle follows the drag:
        // 12 pixels down, then 8 more.
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(0, 12));
        QTest::mouseMove(handle, grip + QPoint(0, 8));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip);
        QTest::qWait(1);

        QList<int> expected = before;
        expected[splitter - 1] += 20;
        expected[3] -= 20;
        EXPECT_EQ(heights(), expected);
    }
}

}  // namespace
}  // namespace quillmere
