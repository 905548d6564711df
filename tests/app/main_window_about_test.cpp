// The main window's "?" button and the about box it opens.
#include <gtest/gtest.h>

#include <QPointer>
#include <QToolButton>

#include "about/about_box.h"
#include "app/main_window.h"
#include "support/about_setup.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"

namespace quillmere {
namespace {

using test::LoopbackServer;

const QByteArray kIndexPath = "/NAS_file_Share/Tool/index.json";
const QByteArray kIndex =
    R"({"file_name": "Tool_1.3.exe", "version": "01.03.00.00", "website": "w"})";

// The "?" button of the main window opens a fresh about box each time; the
// test's stand-in for the modal show records the box instead of waiting.
class QuestionButtonTest : public ::testing::Test {
  protected:
    QuestionButtonTest() : saved_(aboutUnit()) {
        server.serve(kIndexPath, kIndex);
        aboutUnit() =
            AboutUnit{{}, test::sandboxAboutSetup(sandbox, server.url("/NAS_file_Share/"))};
        aboutUnit().setup.showModally = [this](QDialog& dialog) {
            auto* box = qobject_cast<TAboutBox*>(&dialog);
            ASSERT_NE(box, nullptr);
            shown.append(box);
            parents.append(box->parentWidget());
            captionsWhenShown << box->SpeedButton_download->text();
        };
    }
    ~QuestionButtonTest() override { aboutUnit() = saved_; }

    void clickQuestionButton() { window.findChild<QToolButton*>("SpeedButton1")->click(); }

    test::Sandbox sandbox;
    LoopbackServer server;
    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
    QList<QPointer<TAboutBox>> shown;
    QList<QWidget*> parents;
    QStringList captionsWhenShown;

  private:
    AboutUnit saved_;
};

TEST_F(QuestionButtonTest, EachClickCreatesShowsAndFreesAFreshBox) {
    clickQuestionButton();
    clickQuestionButton();

    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(parents, (QList<QWidget*>{&window, &window}));
    for (const QPointer<TAboutBox>& box : shown) EXPECT_TRUE(box.isNull()) << "freed after closing";
    // Each box ran its own lookup before it was shown.
    EXPECT_EQ(server.requests(), (QList<QByteArray>{kIndexPath, kIndexPath}));
    EXPECT_EQ(captionsWhenShown, QStringList(2, "Newer Version:  01.03.00.00\r\navailable online"));
    EXPECT_EQ(aboutUnit().variables.release_file_name, "Tool_1.3.exe");
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(QuestionButtonTest, AFailedCreationStillShowsTheBox) {
    server.serve(kIndexPath, QByteArray("<html>not the index</html>"));
    clickQuestionButton();
    EXPECT_EQ(prompts.errors, QStringList{"The release index is not a JSON object."});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(captionsWhenShown, QStringList{"Check for Update"});
    EXPECT_TRUE(shown.first().isNull());
}

}  // namespace
}  // namespace quillmere
