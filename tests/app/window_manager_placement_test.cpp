// The real program under a window manager that frames and places its
// windows: the window's outer rectangle (frame included) is remembered at
// close and comes back as the same outer rectangle at the next start.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <memory>
#include <vector>

#include "common/ini_file.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/x_desktop.h"

namespace quillmere {
namespace {

constexpr QSize kScreen(1600, 1200);
constexpr QSize kDesignClientSize(857, 1000);
constexpr int kTimeoutMs = 20000;

// No release server answers here, so the lookup at start fails at once.
const QByteArray kNoReleaseServer = "[Update]\nBaseURL=http://127.0.0.1:1/\n";

class WindowManagerPlacementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const QStringList missing = test::XDesktop::missingTools(); !missing.isEmpty())
            GTEST_SKIP() << "not installed: " << missing.join(u' ').toStdString();
        // A copy of the program keeps its settings file in the sandbox.
        QDir().mkpath(sandbox.path("bin"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_PROGRAM), program));
        desktop = std::make_unique<test::XDesktop>(kScreen, sandbox.path("home"));
        ASSERT_TRUE(desktop->isReady()) << desktop->failure().toStdString();
    }

    // Starts the program and waits for its window.
    void start() {
        quillmere.setProcessEnvironment(desktop->environment());
        quillmere.setProcessChannelMode(QProcess::ForwardedChannels);
        quillmere.start(program, {});
        ASSERT_TRUE(quillmere.waitForStarted(kTimeoutMs));
        window = desktop->waitForWindowOf(quillmere.processId(), kTimeoutMs);
        ASSERT_FALSE(window.isEmpty()) << "no window appeared";
    }

    // Waits until the window's outer rectangle is `expected`; the last one
    // read when it never gets there.
    QRect waitForOuterRect(const QRect& expected) {
        QRect outer;
        const QDeadlineTimer deadline(kTimeoutMs);
        do {
            outer = desktop->outerRect(window);
            if (outer == expected) break;
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        return outer;
    }

    // Waits until the window manager has framed the window at its client
    // size and the outer rectangle has stayed the same for a while.
    QRect waitForFramedWindow(QSize clientSize) {
        QRect settled;
        int sameReads = 0;
        const QDeadlineTimer deadline(kTimeoutMs);
        do {
            const QRect outer = desktop->outerRect(window);
            const bool framed = outer.isValid() && desktop->innerRect(window).size() == clientSize;
            sameReads = framed && outer == settled ? sameReads + 1 : 0;
            settled = framed ? outer : QRect();
            if (sameReads == 5) return settled;
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        return {};
    }

    bool waitForState(const QString& state) {
        const QDeadlineTimer deadline(kTimeoutMs);
        do {
            if (desktop->states(window).contains(state)) return true;
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        return false;
    }

    // Closes the window as its close button does, and waits for the
    // program to end.
    void close() {
        desktop->run(QStringLiteral("wmctrl"),
                     {QStringLiteral("-i"), QStringLiteral("-c"), window});
        ASSERT_TRUE(quillmere.waitForFinished(kTimeoutMs)) << "the program did not end";
        EXPECT_EQ(quillmere.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(quillmere.exitCode(), 0);
    }

    void setWindowState(const char* change) {
        desktop->run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), window,
                                                QStringLiteral("-b"), QString::fromLatin1(change)});
    }

    void writeSettings(const QByteArray& placement) {
        sandbox.write("bin/quillmere.ini", kNoReleaseServer + placement);
    }

    void writePlacement(const QRect& outer) {
        writeSettings(QStringLiteral("[Placement]\nTop=%1\nLeft=%2\nWidth=%3\nHeight=%4\n")
                          .arg(outer.y())
                          .arg(outer.x())
                          .arg(outer.width())
                          .arg(outer.height())
                          .toUtf8());
    }

    QRect remembered() const {
        const IniFile ini(settingsPath);
        const auto value = [&](const char* key) {
            return ini.readInteger(QStringLiteral("Placement"), QString::fromLatin1(key))
                .value_or(-1);
        };
        return {value("Left"), value("Top"), value("Width"), value("Height")};
    }

    test::Sandbox sandbox;
    const QString program = sandbox.path("bin/quillmere");
    const QString settingsPath = sandbox.path("bin/quillmere.ini");
    std::unique_ptr<test::XDesktop> desktop;
    QProcess quillmere;
    QString window;
};

TEST_F(WindowManagerPlacementTest, AFirstStartIsPlacedByTheWindowManager) {
    writeSettings({});
    ASSERT_NO_FATAL_FAILURE(start());
    const QRect first = waitForFramedWindow(kDesignClientSize);
    ASSERT_TRUE(first.isValid()) << "the window never had its design size";
    EXPECT_GT(first.width(), kDesignClientSize.width()) << "the window has a frame";
    EXPECT_GT(first.height(), kDesignClientSize.height()) << "the window has a frame";
    EXPECT_NE(first.topLeft(), QPoint(0, 0)) << "placed by the window manager, not moved";
    EXPECT_TRUE(QRect(QPoint(0, 0), kScreen).contains(first)) << testing::PrintToString(first);
    ASSERT_NO_FATAL_FAILURE(close());
    EXPECT_EQ(remembered(), first);

    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(waitForOuterRect(first), first);
    EXPECT_EQ(desktop->innerRect(window).size(), kDesignClientSize);
    ASSERT_NO_FATAL_FAILURE(close());
    EXPECT_EQ(remembered(), first);
}

TEST_F(WindowManagerPlacementTest, TheRememberedOuterRectangleComesBackAtEveryStart) {
    const struct {
        const char* placement;
        QRect outer;
    } cases[] = {
        {"[Placement]\nTop=120\nLeft=200\nWidth=700\nHeight=500\n", {200, 120, 700, 500}},
        {"[Placement]\nTop=900\nLeft=1200\nWidth=700\nHeight=500\n", {900, 700, 700, 500}},
        {"[Placement]\nTop=0\nLeft=0\nWidth=3000\nHeight=2000\n", {0, 0, 1600, 1200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placement);
        writeSettings(c.placement);
        for (int run = 1; run <= 2; ++run) {
            SCOPED_TRACE(run);
            ASSERT_NO_FATAL_FAILURE(start());
            EXPECT_EQ(waitForOuterRect(c.outer), c.outer);
            ASSERT_NO_FATAL_FAILURE(close());
            EXPECT_EQ(remembered(), c.outer);
        }
    }
}

TEST_F(WindowManagerPlacementTest, AMinimisedWindowRemembersItsNormalRectangle) {
    const QRect normal(150, 100, 640, 480);
    const struct {
        std::vector<const char*> changes;
        const char* state;
    } cases[] = {
        {{"add,hidden"}, "_NET_WM_STATE_HIDDEN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.changes.back());
        writePlacement(normal);
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_EQ(waitForOuterRect(normal), normal);
        for (const char* change : c.changes) setWindowState(change);
        ASSERT_TRUE(waitForState(QString::fromLatin1(c.state)));
        ASSERT_NO_FATAL_FAILURE(close());
        EXPECT_EQ(remembered(), normal);

        ASSERT_NO_FATAL_FAILURE(start());
        EXPECT_EQ(waitForOuterRect(normal), normal);
        EXPECT_EQ(desktop->states(window), QStringList()) << "a normal window again";
        ASSERT_NO_FATAL_FAILURE(close());
    }
}

TEST_F(WindowManagerPlacementTest, AMaximisedWindowRemembersItsMaximisedRectangle) {
    // The window state is not kept: a window closed maximised comes back as
    // a normal window over the rectangle it had when maximised.
    const QRect normal(150, 100, 640, 480);
    writePlacement(normal);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(waitForOuterRect(normal), normal);
    setWindowState("add,maximized_vert,maximized_horz");
    ASSERT_TRUE(waitForState(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ")));
    // The window manager resizes the window and changes its frame in
    // steps: wait until the rectangle has settled.
    QRect maximised;
    int steady = 0;
    for (int attempt = 0; attempt < 200 && steady < 5; ++attempt) {
        QThread::msleep(30);
        const QRect outer = desktop->outerRect(window);
        steady = outer == maximised && outer != normal ? steady + 1 : 0;
        maximised = outer;
    }
    ASSERT_NE(maximised, normal);
    ASSERT_NO_FATAL_FAILURE(close());
    EXPECT_EQ(remembered(), maximised);

    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(waitForOuterRect(maximised), maximised);
    EXPECT_EQ(desktop->states(window), QStringList()) << "a normal window again";
    ASSERT_NO_FATAL_FAILURE(close());
}

}  // namespace
}  // namespace quillmere
