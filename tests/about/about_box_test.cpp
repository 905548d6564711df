#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStringEncoder>
#include <QToolButton>

#include "about/about_box.h"
#include "support/current_folder.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/recording_shell.h"
#include "support/sandbox.h"
#include "support/scripted_prompts.h"

namespace quillmere {
namespace {

using namespace std::chrono_literals;
using Button = Prompts::Button;
using test::LoopbackServer;

const QByteArray kIndexPath = "/NAS_file_Share/Tool/index.json";

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray indexJson(const QString& fileName, const QString& version, const QString& website) {
    return QStringLiteral(R"({"file_name": "%1", "version": "%2", "website": "%3"})")
        .arg(fileName, version, website)
        .toUtf8();
}

// An about box for an executable Tool.exe in a sandbox, last written on
// 5 March 2024, with version 1.2.0.15, in a Dutch locale (date separator
// "-"); the release server is the tests' own on the loopback address.
class AboutBoxTest : public ::testing::Test {
  protected:
    AboutBoxTest() {
        executable = sandbox.write("Tool.exe", QByteArray("the program"));
        setLastWritten(executable, QDate(2024, 3, 5));
        unit.setup = setupFor(executable);
    }

    AboutSetup setupFor(const QString& program) {
        AboutSetup setup;
        setup.executablePath = program;
        setup.readVersionInfo = [this](const QString& path) -> std::optional<FileVersion> {
            versionAsked << path;
            return version;
        };
        setup.locale = QLocale(QLocale::Dutch, QLocale::Netherlands);
        setup.builtInReleaseServer = server.url("/NAS_file_Share/");
        setup.defaultWebPage = QStringLiteral("http://127.0.0.1:9/wiki/Quillmere");
        setup.userFolder = sandbox.path("user");
        setup.shell = shell;
        setup.showModally = [](QDialog&) { ADD_FAILURE() << "no box is shown here"; };
        return setup;
    }

    static void setLastWritten(const QString& path, QDate date) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
    }

    void serveIndex(const QByteArray& body) { server.serve(kIndexPath, body); }

    std::unique_ptr<TAboutBox> createBox() { return std::make_unique<TAboutBox>(unit, prompts); }

    QStringList captions(const TAboutBox& box) const {
        return {box.SpeedButton_download->text(), box.SpeedButton_web->text()};
    }

    static QStringList designCaptions() { return {"Check for Update", "More Online information "}; }

    test::Sandbox sandbox;
    LoopbackServer server;
    test::ScriptedPrompts prompts;
    std::shared_ptr<test::RecordingShell> shell = std::make_shared<test::RecordingShell>();
    std::optional<FileVersion> version = FileVersion{1, 2, 0, 15};
    QStringList versionAsked;
    QString executable;
    AboutUnit unit;
};

TEST_F(AboutBoxTest, ShowsTheProgramsNameVersionAndDate) {
    serveIndex(indexJson("Tool_1.3.exe", "01.03.00.00", "http://example.org/tool"));
    const auto box = createBox();

    EXPECT_EQ(box->windowTitle(), "About Tool");
    EXPECT_EQ(box->Label_application_short_name->text(), "Tool");
    EXPECT_EQ(box->Label_application_short_name->toolTip(), executable);
    EXPECT_EQ(box->label_version_UpdateDate->text(), "Ver: 01.02.00.15, Released on 2024-03-05");
    // The icon shows no caption; a screen reader names it.
    EXPECT_EQ(box->findChild<QLabel*>("Image1")->accessibleName(), "Tool icon");
    EXPECT_EQ(versionAsked, QStringList{executable});
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(prompts.errors, QStringList());

    const AboutVariables& v = unit.variables;
    EXPECT_EQ(v.app_short_name, "Tool");
    EXPECT_EQ(v.app_version, "01.02.00.15");
    EXPECT_EQ(v.release_index_name, "index.json");
    EXPECT_EQ(v.release_index_path, sandbox.path("index.json"));
    EXPECT_EQ(v.release_base_url, server.url("/NAS_file_Share/Tool/"));
    EXPECT_EQ(server.requests(), QList<QByteArray>{kIndexPath});
}

TEST_F(AboutBoxTest, VersionAndDateFollowTheFileAndTheLocale) {
    const struct {
        std::optional<FileVersion> version;
        QLocale locale;
        const char* label;
    } cases[] = {
        {FileVersion{1, 2, 0, 123}, QLocale(QLocale::German, QLocale::Germany),
         "Ver: 01.02.00.23, Released on 2024.03.05"},
        {std::nullopt, QLocale(QLocale::English, QLocale::UnitedStates),
         "Ver: ?.?.?.?, Released on 2024/03/05"},
    };
    for (const auto& c : cases) {
        version = c.version;
        unit.setup.locale = c.locale;
        EXPECT_EQ(createBox()->label_version_UpdateDate->text(), c.label);
    }
}

TEST_F(AboutBoxTest, AnExecutableWithoutExtensionKeepsItsWholeName) {
    const QString program = sandbox.write("quillmere", QByteArray("the program"));
    unit.setup = setupFor(program);
    server.serve("/NAS_file_Share/quillmere/index.json",
                 indexJson("quillmere-1.1", "01.01.00.00", "w"));
    const auto box = createBox();
    EXPECT_EQ(box->windowTitle(), "About quillmere");
    EXPECT_EQ(unit.variables.app_short_name, "quillmere");
    EXPECT_EQ(unit.variables.release_base_url, server.url("/NAS_file_Share/quillmere/"));
    EXPECT_EQ(unit.variables.release_file_name, "quillmere-1.1");
}

TEST_F(AboutBoxTest, HasItsFixedWhiteLayout) {
    const auto box = createBox();
    EXPECT_EQ(box->objectName(), "AboutBox");
    EXPECT_EQ(box->minimumSize(), QSize(666, 165));
    EXPECT_EQ(box->maximumSize(), QSize(666, 165));
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        EXPECT_LE(
            (box->geometry().center() - screen->availableGeometry().center()).manhattanLength(), 1);
    }

    const struct {
        const char* name;
        QRect geometry;
    } controls[] = {
        {"Image1", {8, 8, 128, 128}},  // grown to the icon's size
        {"Label_application_short_name", {134, 8, 405, 32}},
        {"label_version_UpdateDate", {134, 55, 461, 23}},
        {"SpeedButton_web", {134, 84, 461, 22}},
        {"SpeedButton_download", {8, 128, 211, 29}},
        {"Copyright", {225, 144, 270, 13}},
    };
    for (const auto& c : controls) {
        const auto* control = box->findChild<QWidget*>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(), c.geometry) << c.name;
    }
    ASSERT_FALSE(box->Image1->pixmap().isNull());
    EXPECT_EQ(box->Image1->pixmap().size(), QSize(128, 128));
    EXPECT_FALSE(box->Copyright->text().isEmpty());
    for (const QLabel* label :
         {box->Label_application_short_name, box->label_version_UpdateDate, box->Copyright}) {
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    for (const QToolButton* button : {box->SpeedButton_web, box->SpeedButton_download}) {
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(box->SpeedButton_download->defaultAction(), box->Action_check_for_update);
    EXPECT_EQ(box->Action_check_for_update->text(), "Check for Update");
    EXPECT_EQ(box->Action_check_for_update->parent(), box->ActionList1);

    const QString family = QFontDatabase::hasFamily("Consolas")
                               ? QStringLiteral("Consolas")
                               : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    const struct {
        const QWidget* control;
        int pixels;
        bool bold;
    } fonts[] = {
        {box.get(), 11, false},
        {box->Label_application_short_name, 27, true},
        {box->label_version_UpdateDate, 16, false},
        {box->Copyright, 11, false},
    };
    for (const auto& f : fonts) {
        EXPECT_EQ(f.control->font().family(), family) << f.control->objectName().toStdString();
        EXPECT_EQ(f.control->font().pixelSize(), f.pixels) << f.control->objectName().toStdString();
        EXPECT_EQ(f.control->font().bold(), f.bold) << f.control->objectName().toStdString();
    }

    // White ground, black writing, also under the program's style sheet.
    static_cast<QApplication*>(QCoreApplication::instance())
        ->setStyleSheet("QWidget { background-color: #eef5fc; color: #1c2b3a; }");
    const QImage picture = box->grab().toImage();
    const QColor writing = box->label_version_UpdateDate->palette().color(QPalette::WindowText);
    static_cast<QApplication*>(QCoreApplication::instance())->setStyleSheet(QString());
    EXPECT_EQ(picture.pixelColor(650, 40), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(140, 70), QColor(Qt::white));
    EXPECT_EQ(writing, QColor(Qt::black));
}

TEST_F(AboutBoxTest, ReportsTheReleasedVersion) {
    const QString status = QStringLiteral("Version:  %1\r\navailable online");
    const struct {
        const char* released;
        QString caption;
    } cases[] = {
        {"01.02.00.17", "Newer " + status.arg("01.02.00.17")},
        {"01.02.00.15", "version up-to-date (01.02.00.15)"},
        {"01.02.00.09", "Older " + status.arg("01.02.00.09")},
        {"1.2.0.16", "Newer " + status.arg("1.2.0.16")},
        {"01.02.00.15 ", "Newer " + status.arg("01.02.00.15 ")},
    };
    for (const auto& c : cases) {
        const QByteArray index = indexJson("Tool_1.3.exe", c.released, "http://example.org/tool");
        serveIndex(index);
        const auto box = createBox();
        EXPECT_EQ(captions(*box), (QStringList{c.caption, "http://example.org/tool"}))
            << c.released;
        EXPECT_EQ(box->SpeedButton_download->toolTip(), c.released);
        EXPECT_EQ(unit.variables.release_status, status.arg(c.released));
        EXPECT_EQ(unit.variables.release_file_name, "Tool_1.3.exe");
        EXPECT_EQ(unit.variables.release_version, c.released);
        EXPECT_EQ(unit.variables.release_website, "http://example.org/tool");
        // The local copy stays beside the executable.
        EXPECT_EQ(contentOf(sandbox.path("index.json")), index);
        EXPECT_TRUE(box->get_onlin_info());
    }
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST_F(AboutBoxTest, AFailedDownloadOnlyChangesTheDownloadCaption) {
    serveIndex(indexJson("Tool_1.3.exe", "01.03.00.00", "http://example.org/tool"));
    createBox();

    server.forget(kIndexPath);  // now a 404 page
    const auto box = createBox();
    EXPECT_EQ(captions(*box),
              (QStringList{"Web site upgrade not available.", "More Online information "}));
    EXPECT_EQ(box->SpeedButton_download->toolTip(), "");
    EXPECT_FALSE(box->get_onlin_info());
    EXPECT_EQ(prompts.errors, QStringList());
    const AboutVariables& v = unit.variables;
    EXPECT_EQ(v.release_status, "Web site upgrade not available.");
    EXPECT_EQ(v.release_file_name, "Tool.exe");   // as the creation step set it
    EXPECT_EQ(v.release_version, "01.03.00.00");  // from the earlier lookup
    EXPECT_EQ(v.release_website, "http://example.org/tool");
    // The earlier local copy is kept.
    EXPECT_EQ(contentOf(sandbox.path("index.json")),
              indexJson("Tool_1.3.exe", "01.03.00.00", "http://example.org/tool"));
}

TEST_F(AboutBoxTest, AnUnusableIndexIsAnErrorAndKeepsTheDesignCaptions) {
    const struct {
        const char* what;
        QByteArray body;
        const char* error;
        const char* fileName;
    } cases[] = {
        {"a web page", "<!DOCTYPE html><html><body>Index of /</body></html>",
         "The release index is not a JSON object.", "Tool.exe"},
        {"an array", R"(["Tool_1.3.exe", "01.03.00.00", "w"])",
         "The release index is not a JSON object.", "Tool.exe"},
        {"empty", "", "The release index is not a JSON object.", "Tool.exe"},
        {"no version", R"({"file_name": "Tool_1.3.exe", "website": "w"})",
         "The release index has no member \"version\"", "Tool_1.3.exe"},
        {"no website", R"({"file_name": "Tool_1.3.exe", "version": "01.03.00.00"})",
         "The release index has no member \"website\"", "Tool_1.3.exe"},
    };
    for (const auto& c : cases) {
        prompts.errors.clear();
        unit.variables = {};
        serveIndex(c.body);
        const auto box = createBox();
        EXPECT_EQ(prompts.errors, QStringList{c.error}) << c.what;
        EXPECT_EQ(captions(*box), designCaptions()) << c.what;
        EXPECT_EQ(unit.variables.release_file_name, c.fileName) << c.what;
        EXPECT_EQ(unit.variables.release_status, "") << c.what;
        // The creation step had done its work up to the lookup.
        EXPECT_EQ(box->windowTitle(), "About Tool");
    }
}

TEST_F(AboutBoxTest, DecodesTheIndexByItsByteOrderMark) {
    const QString text = QString::fromUtf8(
        indexJson("T\u00f6\u00f6l 1.3.exe", "01.03.00.00", "http://example.org/\u65e5\u672c"));
    const auto utf16 = [&](QStringConverter::Encoding encoding) {
        QStringEncoder encoder(encoding);
        return QByteArray(encoder.encode(text));
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + text.toUtf8()},
        {"UTF-8 without mark", text.toUtf8()},
        {"UTF-16 little-endian", "\xFF\xFE" + utf16(QStringConverter::Utf16LE)},
        {"UTF-16 big-endian", "\xFE\xFF" + utf16(QStringConverter::Utf16BE)},
    };
    for (const auto& c : cases) {
        serveIndex(c.bytes);
        const auto box = createBox();
        EXPECT_EQ(prompts.errors, QStringList()) << c.what;
        EXPECT_EQ(unit.variables.release_file_name, "T\u00f6\u00f6l 1.3.exe") << c.what;
        EXPECT_EQ(box->SpeedButton_web->text(), "http://example.org/\u65e5\u672c") << c.what;
    }
}

TEST_F(AboutBoxTest, NumbersAndLiteralsKeepTheirText) {
    serveIndex(R"({"file_name": null, "version": 1.20, "website": false, "more": {"x": 1}})");
    const auto box = createBox();
    EXPECT_EQ(prompts.errors, QStringList());
    EXPECT_EQ(unit.variables.release_file_name, "null");
    EXPECT_EQ(unit.variables.release_version, "1.20");
    EXPECT_EQ(captions(*box), (QStringList{"Newer Version:  1.20\r\navailable online", "false"}));

    serveIndex(R"({"file_name": [1], "version": {}, "website": ""})");
    const auto second = createBox();
    EXPECT_EQ(unit.variables.release_file_name, "");
    EXPECT_EQ(captions(*second), (QStringList{"Older Version:  \r\navailable online", ""}));
}

TEST_F(AboutBoxTest, TheSettingsFileMayNameAnotherReleaseServer) {
    LoopbackServer other;
    other.serve("/mirror/NAS_file_Share/Tool/index.json",
                indexJson("Tool_2.0.exe", "02.00.00.00", "w"));
    QFile settings(sandbox.path("Tool.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[File]\r\nLast=x\r\n[update]\r\nbaseurl=" +
                   other.url("/mirror/NAS_file_Share/").toUtf8() + "\r\n");
    settings.close();

    createBox();
    EXPECT_EQ(unit.variables.release_base_url, other.url("/mirror/NAS_file_Share/Tool/"));
    EXPECT_EQ(unit.variables.release_file_name, "Tool_2.0.exe");
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(AboutBoxTest, AServerThatNeverAnswersEndsTheLookupAtTheTimeout) {
    server.holdSilently(kIndexPath);
    unit.setup.indexLimits.totalTimeout = 500ms;
    QElapsedTimer timer;
    timer.start();
    const auto box = createBox();
    EXPECT_LT(timer.elapsed(), 4000);
    EXPECT_EQ(box->SpeedButton_download->text(), "Web site upgrade not available.");
}

TEST_F(AboutBoxTest, AnIndexOverOneMebibyteIsAFailedLookup) {
    const QByteArray index = indexJson("Tool_1.3.exe", "01.03.00.00", "http://example.org/tool");
    const auto paddedTo = [&](qsizetype size) {
        return index + QByteArray(size - index.size(), ' ');
    };
    const struct {
        const char* what;
        LoopbackServer::Response response;
        bool found;
    } cases[] = {
        {"1 MiB", {.body = paddedTo(1 << 20)}, true},
        {"1 MiB and a byte", {.body = paddedTo((1 << 20) + 1)}, false},
        {"1 MiB and a byte, chunked", {.body = paddedTo((1 << 20) + 1), .chunked = true}, false},
    };
    for (const auto& c : cases) {
        serveIndex(indexJson("Tool_1.2.exe", "01.02.00.00", "w"));
        createBox();
        server.serve(kIndexPath, c.response);
        const auto box = createBox();
        EXPECT_EQ(box->SpeedButton_download->text(),
                  c.found ? "Newer Version:  01.03.00.00\r\navailable online"
                          : "Web site upgrade not available.")
            << c.what;
        EXPECT_EQ(contentOf(sandbox.path("index.json")),
                  c.found ? c.response.body : indexJson("Tool_1.2.exe", "01.02.00.00", "w"))
            << c.what;
    }
    EXPECT_EQ(prompts.errors, QStringList());
}

TEST(AboutSetupTest, OnlyTheIndexLookupIsBoundedInTime) {
    const AboutSetup setup = systemAboutSetup();
    EXPECT_EQ(setup.indexLimits.totalTimeout, 20s);
    EXPECT_EQ(setup.indexLimits.maxBytes, 1 << 20);
    EXPECT_EQ(setup.updateLimits.totalTimeout, 0ms);
    EXPECT_EQ(setup.updateLimits.stallTime, 30s);
    EXPECT_EQ(setup.updateLimits.stallBytesPerSecond, 1024);
}

// The update download.
class UpdateDownloadTest : public AboutBoxTest {
  protected:
    UpdateDownloadTest() {
        serveIndex(indexJson("Tool_1.3.exe", "01.03.00.00", "http://example.org/tool"));
        box = createBox();
    }

    void clickDownload(Button answer) {
        prompts.answers.push_back(answer);
        box->SpeedButton_download->click();
    }

    std::unique_ptr<TAboutBox> box;
};

TEST_F(UpdateDownloadTest, AsksFirstAndDownloadsOnlyOnYes) {
    server.serve("/NAS_file_Share/Tool/Tool_1.3.exe", QByteArray("version 1.3"));
    for (const Button answer : {Button::No, Button::Cancel}) {
        clickDownload(answer);
        ASSERT_EQ(prompts.questions.size(), 1);
        const auto& question = prompts.questions.takeFirst();
        EXPECT_EQ(question.kind, Prompts::Kind::Confirmation);
        EXPECT_EQ(question.text, "File: Tool_1.3.exe\r\nVersion: 01.03.00.00\r\ndownload online?");
        EXPECT_EQ(question.buttons, Button::Yes | Button::No | Button::Cancel);
    }
    EXPECT_EQ(server.requests(), QList<QByteArray>{kIndexPath});
    EXPECT_FALSE(QFileInfo::exists(sandbox.path("Tool_1.3.exe")));
    EXPECT_EQ(shell->opened, QStringList());
}

TEST_F(UpdateDownloadTest, LandsBesideTheExecutableWhateverTheCurrentFolder) {
    server.serve("/NAS_file_Share/Tool/Tool_1.3.exe", QByteArray("version 1.3"));
    sandbox.write("Tool_1.3.exe", QByteArray("an older copy"));
    ASSERT_TRUE(QDir().mkpath(sandbox.path("elsewhere")));
    {
        const test::CurrentFolder elsewhere(sandbox.path("elsewhere"));
        clickDownload(Button::Yes);
    }

    EXPECT_EQ(contentOf(sandbox.path("Tool_1.3.exe")), "version 1.3");
    EXPECT_FALSE(QFileInfo::exists(sandbox.path("elsewhere/Tool_1.3.exe")));
    EXPECT_EQ(shell->opened, QStringList{sandbox.path("Tool_1.3.exe")});
    EXPECT_EQ(prompts.notices, QStringList());
}

TEST_F(UpdateDownloadTest, AFailedDownloadIsReportedAndOpensNothing) {
    sandbox.write("Tool_1.3.exe", QByteArray("an older copy"));
    clickDownload(Button::Yes);  // the server has no such file
    EXPECT_EQ(prompts.notices, QStringList{"Error while downloading Tool_1.3.exe"});
    EXPECT_EQ(contentOf(sandbox.path("Tool_1.3.exe")), "an older copy");
    EXPECT_EQ(shell->opened, QStringList());
    EXPECT_EQ(server.requests().last(), "/NAS_file_Share/Tool/Tool_1.3.exe");
}

TEST_F(UpdateDownloadTest, ABlankFileNameEndsSilently) {
    for (const char* name : {"", "   ", " \t\r\n"}) {
        unit.variables.release_file_name = name;
        clickDownload(Button::Yes);
    }
    EXPECT_EQ(prompts.questions.size(), 3);
    EXPECT_EQ(prompts.notices, QStringList());
    EXPECT_EQ(server.requests(), QList<QByteArray>{kIndexPath});
    EXPECT_EQ(shell->opened, QStringList());
}

TEST_F(UpdateDownloadTest, TheNameIsFetchedAsStored) {
    unit.variables.release_file_name = " Tool 1.3.exe";
    server.serve("/NAS_file_Share/Tool/%20Tool%201.3.exe", QByteArray("spaced"));
    clickDownload(Button::Yes);
    EXPECT_EQ(contentOf(sandbox.path(" Tool 1.3.exe")), "spaced");
    EXPECT_EQ(shell->opened, QStringList{sandbox.path(" Tool 1.3.exe")});
}

TEST_F(UpdateDownloadTest, ANameWithAFolderPartIsRefused) {
    ASSERT_TRUE(QDir().mkpath(sandbox.path("sub")));
    for (const char* name : {"../escaped.exe", "sub/inner.exe", "/tmp/absolute.exe", ".."}) {
        SCOPED_TRACE(name);
        unit.variables.release_file_name = name;
        server.serve(QByteArray("/NAS_file_Share/Tool/") + name, QByteArray("payload"));
        prompts.notices.clear();
        clickDownload(Button::Yes);
        EXPECT_EQ(prompts.notices, QStringList{QString("Error while downloading ") + name});
    }
    EXPECT_FALSE(QFileInfo::exists(sandbox.path("../escaped.exe")));
    EXPECT_FALSE(QFileInfo::exists(sandbox.path("sub/inner.exe")));
    EXPECT_FALSE(QFileInfo::exists("/tmp/absolute.exe"));
    EXPECT_EQ(server.requests(), QList<QByteArray>{kIndexPath});
    EXPECT_EQ(shell->opened, QStringList());
}

TEST_F(UpdateDownloadTest, AfterAFailedLookupTheProgramItselfIsNeverReplaced) {
    server.forget(kIndexPath);
    server.serve("/NAS_file_Share/Tool/Tool.exe", QByteArray("whatever the server sends"));
    box = createBox();
    ASSERT_EQ(unit.variables.release_file_name, "Tool.exe");
    clickDownload(Button::Yes);
    EXPECT_EQ(prompts.questions.last().text,
              "File: Tool.exe\r\nVersion: 01.03.00.00\r\ndownload online?");
    EXPECT_EQ(prompts.notices, QStringList{"Error while downloading Tool.exe"});
    EXPECT_EQ(contentOf(executable), "the program");
    EXPECT_EQ(shell->opened, QStringList());
}

TEST_F(UpdateDownloadTest, NeverReplacesTheProgramsOwnFiles) {
    // Tool.exe's own settings file would send every later lookup elsewhere.
    const QByteArray settings = "[Update]\r\nBaseURL=" + server.url("/NAS_file_Share/").toUtf8();
    const struct {
        const char* name;
        QByteArray content;
    } files[] = {
        {"Tool.ini", settings},
        {"quillmere", "the window program"},
        {"quillmere.ini", "[File]\r\n"},
        {"quillmere-batch", "the command-line program"},
        {"Tool.exe", "the program"},
        // The lookup's copy of the index, which the next lookup rewrites.
        {"index.json", indexJson("Tool_1.3.exe", "01.03.00.00", "http://example.org/tool")},
    };
    for (const auto& f : files) sandbox.write(f.name, f.content);
    for (const auto& f : files) {
        unit.variables.release_file_name = f.name;
        server.serve(QByteArray("/NAS_file_Share/Tool/") + f.name,
                     QByteArray("[Update]\r\nBaseURL=http://elsewhere.example/\r\n"));
        prompts.notices.clear();
        clickDownload(Button::Yes);
        EXPECT_EQ(prompts.notices, QStringList{QString("Error while downloading ") + f.name});
    }
    for (const auto& f : files) EXPECT_EQ(contentOf(sandbox.path(f.name)), f.content) << f.name;
    EXPECT_EQ(server.requests(), QList<QByteArray>{kIndexPath});
    EXPECT_EQ(shell->opened, QStringList());
}

TEST_F(UpdateDownloadTest, ASlowUpdateIsNotBoundByTheLookupsTimeLimit) {
    // About 3 KB/s for two seconds, while a lookup would end after one.
    unit.setup.indexLimits.totalTimeout = 1s;
    const QByteArray update(6000, 'u');
    server.serve("/NAS_file_Share/Tool/Tool_1.3.exe",
                 {.body = update, .chunked = true, .pieceSize = 300, .pause = 100ms});
    QElapsedTimer timer;
    timer.start();
    clickDownload(Button::Yes);
    EXPECT_GE(timer.elapsed(), 1500);
    EXPECT_EQ(prompts.notices, QStringList());
    EXPECT_EQ(contentOf(sandbox.path("Tool_1.3.exe")), update);
    EXPECT_EQ(shell->opened, QStringList{sandbox.path("Tool_1.3.exe")});
}

TEST_F(UpdateDownloadTest, TheWebButtonOpensTheReleasedWebPageOrTheDefaultPage) {
    const struct {
        const char* website;
        QString opened;
    } cases[] = {
        {"http://example.org/tool", "http://example.org/tool"},
        {"", "http://127.0.0.1:9/wiki/Quillmere"},
        {"HTTPS://Example.org/Tool", "HTTPS://Example.org/Tool"},
        {"  not a web address  ", "http://127.0.0.1:9/wiki/Quillmere"},
        {"www.example.org", "http://127.0.0.1:9/wiki/Quillmere"},
        {"file:///etc/passwd", "http://127.0.0.1:9/wiki/Quillmere"},
        {"smb://nas/share/setup.exe", "http://127.0.0.1:9/wiki/Quillmere"},
        {"quillmere-handler://run", "http://127.0.0.1:9/wiki/Quillmere"},
        {"javascript:alert(1)", "http://127.0.0.1:9/wiki/Quillmere"},
    };
    for (const auto& c : cases) {
        unit.variables.release_website = c.website;
        box->SpeedButton_web->click();
        EXPECT_EQ(shell->opened.takeLast(), c.opened);
    }
    EXPECT_EQ(shell->opened, QStringList());
    EXPECT_EQ(prompts.errors, QStringList());
}

}  // namespace
}  // namespace quillmere
