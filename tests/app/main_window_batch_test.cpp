#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/main_window.h"
#include "conversion_wait.h"
#include "convert/convert_messages.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"
#include "window_contents.h"

namespace quillmere {
namespace {

class MainWindowBatchTest : public ::testing::Test {
  protected:
    MainWindowBatchTest() {
        window.setSettingsFilePath(sandbox.path("quillmere.ini"));
        window.FormCreate();
    }
    ~MainWindowBatchTest() override { test::waitForConversion(window); }

    QString picture(const QString& name) {
        return sandbox.write(name, encodePng(test::solid(5, 3, {10, 20, 30})));
    }
    // A picture whose conversion to GIF takes long enough that a stop
    // asked for at once comes before it is written.
    QString slowPicture(const QString& name) {
        return sandbox.write(name, encodeBmp(test::photoLike(2000, 2000)));
    }
    QStringList folderFiles() const {
        return QDir(sandbox.path(".")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    template <typename T = QWidget>
    T* control(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    void startConverting(const QString& format) {
        for (QAbstractButton* button : window.RadioGroup2->buttons()) {
            if (button->text() == format) button->click();
        }
        control<QPushButton>("Button_Convert")->click();
        ASSERT_TRUE(window.isConverting());
    }
    bool dropAccepted() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(picture("dropped.png"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        return enter.isAccepted();
    }

    test::Sandbox sandbox;
    test::ScriptedPrompts prompts;
    TForm_Main window{prompts};
};

TEST_F(MainWindowBatchTest, TheListAndTheSettingsAreLockedWhileARunGoesOn) {
    window.ListBox1->addItems({picture("a.png"), sandbox.path("gone.png"), picture("b.png")});
    const char* locked[] = {"ListBox1",
                            "Button1",
                            "Button_folder_select",
                            "Edit1",
                            "RadioGroup1",
                            "CheckBox_recursive",
                            "Button_Convert",
                            "RadioGroup2",
                            "Edit_Jpg_compress_rate",
                            "CheckBox_over_write"};
    ASSERT_TRUE(dropAccepted());
    startConverting("BMP");

    for (const char* name : locked) {
        SCOPED_TRACE(name);
        ASSERT_NE(control(name), nullptr);
        EXPECT_FALSE(control(name)->isEnabled());
    }
    for (QAbstractButton* format : window.RadioGroup2->buttons()) EXPECT_FALSE(format->isEnabled());
    EXPECT_TRUE(control("BatchProgress")->isVisibleTo(&window));
    EXPECT_TRUE(control("Button_Stop")->isVisibleTo(&window));
    EXPECT_FALSE(dropAccepted());

    ASSERT_TRUE(test::waitForConversion(window));
    for (const char* name : locked) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(control(name)->isEnabled());
    }
    EXPECT_FALSE(control("BatchProgress")->isVisibleTo(&window));
    EXPECT_FALSE(control("Button_Stop")->isVisibleTo(&window));
    EXPECT_TRUE(dropAccepted());
    // Every entry counts, the missing source too.
    EXPECT_EQ(control<QProgressBar>("BatchProgress")->maximum(), 3);
    EXPECT_EQ(control<QProgressBar>("BatchProgress")->value(), 3);
    EXPECT_EQ(test::logLines(window),
              (QStringList{"Memo1", sandbox.path("a.bmp"), sandbox.path("b.bmp"), "finished!"}));
}

// The ways a user stops a run: each ends it before the slow first entry is
// written, so nothing after it is written either.
TEST_F(MainWindowBatchTest, StopAndEscEndTheRunWithoutFinishing) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const struct {
        const char* how;
        std::function<void()> stop;
    } ways[] = {
        {"Stop", [this] { control<QPushButton>("Button_Stop")->click(); }},
        {"Esc", [this] { QTest::keyClick(&window, Qt::Key_Escape); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        window.Memo1->clear();
        window.ListBox1->clear();
        window.ListBox1->addItems({slowPicture("slow.bmp"), picture("a.png"), picture("b.png")});
        startConverting("GIF");
        way.stop();
        ASSERT_TRUE(test::waitForConversion(window));

        EXPECT_EQ(window.Memo1->toPlainText(), "stopped!");
        EXPECT_EQ(prompts.errors, QStringList());
        // Nothing written, nothing half-written.
        EXPECT_EQ(folderFiles(), (QStringList{"a.png", "b.png", "slow.bmp"}));
    }
}

TEST_F(MainWindowBatchTest, ClosingDuringARunStopsItFirstThenCloses) {
    window.show();
    window.ListBox1->addItems({slowPicture("slow.bmp"), picture("a.png")});
    startConverting("GIF");

    // The window goes on taking events while the run lasts.
    window.resize(900, 800);
    QTest::qWait(20);
    EXPECT_TRUE(window.isConverting());
    EXPECT_EQ(window.size(), QSize(900, 800));

    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("quillmere.ini")));

    ASSERT_TRUE(test::waitForConversion(window));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(test::Sandbox::exists(sandbox.path("quillmere.ini")));
    EXPECT_EQ(test::logLines(window).last(), "stopped!");
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("a.gif")));
}

// Every entry of a long run of small pictures adds a log line, a picture
// and a progress step as fast as the run goes (the targets exist, so
// nothing is written); the window still answers a timer that asks every
// 50 ms within a quarter of a second, and ends with the whole log.
TEST_F(MainWindowBatchTest, TheWindowAnswersWithinAQuarterSecondThroughoutALongRun) {
    constexpr int kEntries = 2000;
    const std::vector<std::uint8_t> small = encodePng(test::photoLike(64, 64));
    QStringList sources;
    QStringList expected;
    for (int i = 0; i < kEntries; ++i) {
        const QString name = QStringLiteral("p%1").arg(i, 4, 10, QChar(u'0'));
        sources << sandbox.write(name + QStringLiteral(".png"), small);
        expected << convert_messages::targetExists(
            sandbox.write(name + QStringLiteral(".jpg"), QByteArray()));
    }
    expected << convert_messages::finished();
    window.show();
    window.ListBox1->addItems(sources);
    window.Memo1->clear();

    QElapsedTimer clock;
    qint64 lastAnswer = 0;
    qint64 worstGap = 0;
    const auto answer = [&] {
        const qint64 now = clock.elapsed();
        worstGap = std::max(worstGap, now - lastAnswer);
        lastAnswer = now;
    };
    QTimer ping;
    ping.setTimerType(Qt::PreciseTimer);
    ping.setInterval(50);
    QObject::connect(&ping, &QTimer::timeout, answer);
    clock.start();
    ping.start();
    startConverting("JPG");
    ASSERT_TRUE(test::waitForConversion(window));
    answer();

    EXPECT_LT(worstGap, 250);
    EXPECT_EQ(test::logLines(window), expected);
    EXPECT_EQ(control<QProgressBar>("BatchProgress")->value(), kEntries);
    EXPECT_EQ(prompts.errors, QStringList());
}

// The window takes a run's log a frame at a time, and all of what is left
// when the run ends: the error box comes up over the complete log.
TEST_F(MainWindowBatchTest, TheErrorBoxComesUpOverTheCompleteLog) {
    constexpr int kEntries = 300;
    const std::vector<std::uint8_t> small = encodePng(test::solid(4, 4, {1, 2, 3}));
    QStringList sources;
    QStringList expected;
    for (int i = 0; i < kEntries; ++i) {
        const QString name = QStringLiteral("p%1").arg(i, 3, 10, QChar(u'0'));
        sources << sandbox.write(name + QStringLiteral(".png"), small);
        expected << sandbox.path(name + QStringLiteral(".bmp"));
    }
    sources << sandbox.write("broken.gif", QByteArray("nope"));
    window.ListBox1->addItems(sources);
    window.Memo1->clear();
    QStringList shownWithTheError;
    prompts.whileErrorBoxShown = [&] { shownWithTheError = test::logLines(window); };

    startConverting("BMP");
    ASSERT_TRUE(test::waitForConversion(window));
    EXPECT_EQ(prompts.errors, QStringList{"Invalid GIF signature."});
    EXPECT_EQ(shownWithTheError, expected);
}

}  // namespace
}  // namespace quillmere
