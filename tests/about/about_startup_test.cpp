#include <gtest/gtest.h>

#include <QEvent>
#include <QFile>

#include "about/about_box.h"
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

// Notes, when the watched window is shown, what the about unit holds then.
class ShowWatcher final : public QObject {
  public:
    explicit ShowWatcher(const AboutUnit& unit) : unit_(unit) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) statusWhenShown << unit_.variables.release_status;
        return QObject::eventFilter(watched, event);
    }
    QStringList statusWhenShown;

  private:
    const AboutUnit& unit_;
};

TEST(AboutStartupTest, TheMainWindowAppearsOnlyAfterTheLookupHasEnded) {
    const test::Sandbox sandbox;
    LoopbackServer server;
    server.serve(kIndexPath, kIndex);
    const struct {
        const char* what;
        QString releaseServer;
        const char* status;
    } cases[] = {
        {"index online", server.url("/NAS_file_Share/"),
         "Version:  01.03.00.00\r\navailable online"},
        {"no network",
         QStringLiteral("http://127.0.0.1:%1/NAS_file_Share/").arg(test::closedLoopbackPort()),
         "Web site upgrade not available."},
    };
    for (const auto& c : cases) {
        AboutUnit unit{{}, test::sandboxAboutSetup(sandbox, c.releaseServer)};
        test::ScriptedPrompts prompts;
        QWidget mainWindow;
        ShowWatcher watcher(unit);
        mainWindow.installEventFilter(&watcher);

        const auto AboutBox = createAboutBoxThenShow(mainWindow, prompts, unit);
        EXPECT_EQ(watcher.statusWhenShown, QStringList{c.status}) << c.what;
        EXPECT_TRUE(mainWindow.isVisible()) << c.what;
        ASSERT_NE(AboutBox, nullptr);
        EXPECT_FALSE(AboutBox->isVisible()) << c.what;
        EXPECT_EQ(AboutBox->windowTitle(), "About Tool") << c.what;
        EXPECT_EQ(prompts.errors, QStringList()) << c.what;
    }
}

}  // namespace
}  // namespace quillmere
