// The real program started with files and options on its command line, as
// a desktop's "Open with" or a shell user starts it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <memory>

#include "support/sandbox.h"
#include "support/x_desktop.h"

namespace quillmere {
namespace {

constexpr int kTimeoutMs = 20000;

TEST(ProgramCommandLineTest, FilesReachTheListAndOnlyUnknownOptionsAreReported) {
    if (const QStringList missing = test::XDesktop::missingTools(); !missing.isEmpty())
        GTEST_SKIP() << "not installed: " << missing.join(u' ').toStdString();
    const test::Sandbox sandbox;
    // A copy of the program with its settings in the sandbox; no release
    // server answers, so the lookup at start fails at once.
    ASSERT_TRUE(QDir().mkpath(sandbox.path("bin")));
    const QString program = sandbox.path("bin/quillmere");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_PROGRAM), program));
    sandbox.write("bin/quillmere.ini", QByteArray("[Update]\nBaseURL=http://127.0.0.1:1/\n"));
    sandbox.write("work/notes.txt", QByteArray("not a picture"));
    const test::XDesktop desktop(QSize(1600, 1200), sandbox.path("home"));
    ASSERT_TRUE(desktop.isReady()) << desktop.failure().toStdString();

    // Qt takes "-style fusion" for itself; "-x" is the program's to report.
    // The last file is no picture, so taking it in shows the notice that a
    // drop of it shows, captioned with the application title.
    QProcess quillmere;
    quillmere.setProcessEnvironment(desktop.environment());
    quillmere.setWorkingDirectory(sandbox.path("work"));
    quillmere.start(program, {"-style", "fusion", "-x", "--", "notes.txt"});
    ASSERT_TRUE(quillmere.waitForStarted(kTimeoutMs));
    const QString notice = desktop.waitForWindowOf(quillmere.processId(), "quillmere", kTimeoutMs);
    EXPECT_FALSE(notice.isEmpty()) << "no notice about the file";

    quillmere.kill();
    ASSERT_TRUE(quillmere.waitForFinished(kTimeoutMs));

    QStringList reported;
    for (const QByteArray& line : quillmere.readAllStandardError().split('\n')) {
        if (line.startsWith("quillmere:")) reported << QString::fromUtf8(line);
    }
    EXPECT_EQ(reported, QStringList{"quillmere: unknown option \"-x\" ignored (a file whose name "
                                    "starts with \"-\" goes after \"--\")"});
}

}  // namespace
}  // namespace quillmere
