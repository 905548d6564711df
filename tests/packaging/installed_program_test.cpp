// The window program as installed (cmake --install), run by a user who
// cannot write the folder it lies in: it keeps its settings, and the local
// copy of the release index, in the user's configuration folder, and the
// about box's lookup takes its address from the settings there. Its desktop
// entry hands it the files a file manager opens with it.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <memory>

#include "common/ini_file.h"
#include "imaging/codecs/bmp_encoder.h"
#include "support/loopback_server.h"
#include "support/picture_files.h"
#include "support/sandbox.h"
#include "support/without_root_rights.h"
#include "support/x_desktop.h"

namespace quillmere {
namespace {

constexpr int kTimeoutMs = 30000;
const QByteArray kIndexPath = "/releases/quillmere/index.json";

// Hands a folder tree to the user the program runs as, and lets it reach
// the tree from the sandbox's root.
bool giveToProgramUser(const QString& root, const QString& tree) {
    if (::geteuid() != 0) return true;
    if (::chmod(QFile::encodeName(root).constData(), 0755) != 0) return false;
    QDirIterator entries(tree, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    QStringList paths{tree};
    while (entries.hasNext()) paths << entries.next();
    for (const QString& path : paths) {
        if (::lchown(QFile::encodeName(path).constData(), test::kNobody, test::kNobody) != 0)
            return false;
    }
    return true;
}

class InstalledProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const QStringList missing = test::XDesktop::missingTools(); !missing.isEmpty())
            GTEST_SKIP() << "not installed: " << missing.join(u' ').toStdString();
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral("cmake"),
                      {QStringLiteral("--install"), QStringLiteral(QUILLMERE_BUILD_FOLDER),
                       QStringLiteral("--prefix"), prefix});
        ASSERT_TRUE(install.waitForFinished(kTimeoutMs));
        ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();

        // Installed under a system folder, the program cannot write beside itself.
        ASSERT_EQ(::chmod(QFile::encodeName(prefix + QStringLiteral("/bin")).constData(), 0555), 0);
        QDir().mkpath(configFolder);
        sandbox.write(QStringLiteral("home/config/quillmere/quillmere.ini"),
                      "[Update]\nBaseURL=" + server.url("/releases/").toUtf8() + "\n");
        desktop = std::make_unique<test::XDesktop>(QSize(1280, 1024), sandbox.path("home"));
        ASSERT_TRUE(desktop->isReady()) << desktop->failure().toStdString();
        ASSERT_TRUE(giveToProgramUser(sandbox.path(""), sandbox.path("home")));
    }

    void TearDown() override {
        ::chmod(QFile::encodeName(prefix + QStringLiteral("/bin")).constData(), 0755);
    }

    bool waitForRequest(const QByteArray& path) const {
        const QDeadlineTimer deadline(kTimeoutMs);
        do {
            if (server.requests().contains(path)) return true;
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        return false;
    }

    test::Sandbox sandbox;
    const QString prefix = sandbox.path("usr");
    const QString configFolder = sandbox.path("home/config/quillmere");
    const QString settingsPath = configFolder + QStringLiteral("/quillmere.ini");
    test::LoopbackServer server;
    std::unique_ptr<test::XDesktop> desktop;
};

TEST_F(InstalledProgramTest, KeepsItsSettingsInTheUserConfigurationFolder) {
    server.serve(
        kIndexPath,
        QByteArray(
            R"({"file_name": "quillmere_1.0.0.1_amd64.deb", "version": "1.0.0.1", "website": "w"})"));

    QProcess quillmere;
    QProcessEnvironment environment = desktop->environment();
    quillmere.setProcessEnvironment(environment);
    quillmere.setProcessChannelMode(QProcess::ForwardedChannels);
    quillmere.setChildProcessModifier(test::withoutRootRights);
    quillmere.start(prefix + QStringLiteral("/bin/quillmere"), {});
    ASSERT_TRUE(quillmere.waitForStarted(kTimeoutMs));
    const QString window = desktop->waitForWindowOf(quillmere.processId(), kTimeoutMs);
    ASSERT_FALSE(window.isEmpty()) << "no window appeared";

    // The lookup at start went to the address the settings there give.
    EXPECT_TRUE(waitForRequest(kIndexPath)) << "no lookup at the configured address";

    desktop->run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), window});
    ASSERT_TRUE(quillmere.waitForFinished(kTimeoutMs)) << "the program did not end";
    EXPECT_EQ(quillmere.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quillmere.exitCode(), 0) << "the close was abandoned";

    // The close wrote the window's placement and the date beside the
    // address, which stays.
    const IniFile settings(settingsPath);
    EXPECT_EQ(settings.readString(QStringLiteral("Update"), QStringLiteral("BaseURL"), {}),
              server.url("/releases/"));
    EXPECT_GT(
        settings.readInteger(QStringLiteral("Placement"), QStringLiteral("Width")).value_or(0), 0);
    EXPECT_FALSE(settings.readString(QStringLiteral("User"), QStringLiteral("Date"), {}).isEmpty());
    // The index copy lies there too, and nothing was written beside the program.
    EXPECT_TRUE(QFile::exists(configFolder + QStringLiteral("/index.json")));
    EXPECT_EQ(QDir(prefix + QStringLiteral("/bin")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("quillmere"), QStringLiteral("quillmere-batch")}));
}

// The running processes whose program is `executable`.
QList<qint64> processesOf(const QString& executable) {
    QList<qint64> found;
    const QString wanted = QFileInfo(executable).canonicalFilePath();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (isNumber &&
            QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() == wanted)
            found << pid;
    }
    return found;
}

TEST_F(InstalledProgramTest, OpenWithHandsTheFilesOverThroughTheDesktopEntry) {
    // GLib opens files with a desktop entry as file managers built on it do:
    // the entry's Exec line, with %F made the files' paths.
    if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        GTEST_SKIP() << "not installed: gio";
    server.serve(kIndexPath, QByteArray("{}"));
    sandbox.write("home/Pictures/red.bmp", encodeBmp(test::solid(4, 3, Rgb{255, 0, 0})));
    const QString notes = sandbox.write("home/Pictures/notes.txt", QByteArray("not a picture"));
    ASSERT_TRUE(giveToProgramUser(sandbox.path(""), sandbox.path("home")));

    QProcess opener;
    QProcessEnvironment environment = desktop->environment();
    environment.insert(QStringLiteral("PATH"), prefix + QStringLiteral("/bin:") +
                                                   environment.value(QStringLiteral("PATH")));
    opener.setProcessEnvironment(environment);
    opener.setProcessChannelMode(QProcess::ForwardedChannels);
    opener.setChildProcessModifier(test::withoutRootRights);
    opener.start(QStringLiteral("gio"),
                 {QStringLiteral("launch"),
                  prefix + QStringLiteral("/share/applications/org.quillmere.Quillmere.desktop"),
                  sandbox.path("home/Pictures/red.bmp"), notes});
    ASSERT_TRUE(opener.waitForFinished(kTimeoutMs));
    ASSERT_EQ(opener.exitCode(), 0);

    const QString program = prefix + QStringLiteral("/bin/quillmere");
    QList<qint64> started;
    const QDeadlineTimer deadline(kTimeoutMs);
    while (started.isEmpty() && !deadline.hasExpired()) {
        started = processesOf(program);
        QThread::msleep(20);
    }
    ASSERT_EQ(started.size(), 1) << "the desktop entry did not start the installed program";
    // The last file is no picture: taking it in shows the notice a drop of
    // it shows, so the files reached the window's list.
    const QString notice =
        desktop->waitForWindowOf(started.front(), QStringLiteral("quillmere"), kTimeoutMs);
    ::kill(static_cast<pid_t>(started.front()), SIGKILL);
    EXPECT_FALSE(notice.isEmpty()) << "no notice about the file that is no picture";
}

}  // namespace
}  // namespace quillmere
