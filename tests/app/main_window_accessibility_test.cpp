#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QSet>

#include "app/main_window.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"

namespace quillmere {
namespace {

// The controls that show no caption of their own, by object name.
const char* const kUncaptioned[] = {
    "Edit1",
    "Edit_Jpg_compress_rate",
    "ListBox1",
    "Memo1",
    "ScrollBox1",
    "Image1",
    "StatusBar1_Panel0",
    "StatusBar1_Panel1",
    "StatusBar1_Panel2",
    "StatusBar1_Panel3",
    "StatusBar1_Panel4",
    "BatchProgress",
};

class MainWindowAccessibilityTest : public ::testing::Test {
  protected:
    MainWindowAccessibilityTest() {
        window.setSettingsFilePath(sandbox.path("quillmere.ini"));
        window.setVirtualScreenSize([] { return QSize(1920, 1080); });
        window.FormCreate();
    }

    QWidget* control(const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    }

    test::Sandbox sandbox;
    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
};

TEST_F(MainWindowAccessibilityTest, EveryUncaptionedControlHasItsOwnName) {
    QSet<QString> names;
    for (const char* name : kUncaptioned) {
        SCOPED_TRACE(name);
        QWidget* widget = control(name);
        ASSERT_NE(widget, nullptr);
        const QString accessibleName = widget->accessibleName();
        EXPECT_FALSE(accessibleName.trimmed().isEmpty());
        EXPECT_FALSE(names.contains(accessibleName)) << accessibleName.toStdString();
        names.insert(accessibleName);
    }
    EXPECT_EQ(names.size(), static_cast<qsizetype>(std::size(kUncaptioned)));
}

TEST_F(MainWindowAccessibilityTest, AScreenReaderIsToldTheNameAndDescription) {
    // Panel 0 holds a key code and the log its lines: the name still says
    // what the control is, whatever it shows.
    const QString panelName = control("StatusBar1_Panel0")->accessibleName();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(window.ListBox1, &release);
    ASSERT_EQ(window.statusPanelText(0), "46");
    for (const char* name : kUncaptioned) {
        SCOPED_TRACE(name);
        QWidget* widget = control(name);
        ASSERT_NE(widget, nullptr);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(widget->accessibleName().isEmpty());
        EXPECT_EQ(accessible->text(QAccessible::Name), widget->accessibleName());
        EXPECT_EQ(accessible->text(QAccessible::Description), widget->accessibleDescription());
    }
    // A status panel's name carries what it shows as well: a label's name
    // would otherwise hide its text from a screen reader.
    EXPECT_EQ(control("StatusBar1_Panel0")->accessibleName(), panelName + QStringLiteral(": 46"));
}

TEST_F(MainWindowAccessibilityTest, TheQualityCaptionLabelsItsField) {
    QAccessibleInterface* field =
        QAccessible::queryAccessibleInterface(control("Edit_Jpg_compress_rate"));
    ASSERT_NE(field, nullptr);
    bool labelled = false;
    for (const auto& [other, relation] : field->relations(QAccessible::Label)) {
        labelled = labelled || other->object() == control("Label1");
    }
    EXPECT_TRUE(labelled);
}

}  // namespace
}  // namespace quillmere
