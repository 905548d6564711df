// SIGINT and SIGTERM in the middle of a run of many small files stop it as
// the window's Stop does: every target is whole or absent, no temporary
// file stays, the log names exactly the targets written and ends with
// "stopped!", and the exit status is 128 + the signal.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>

#include "folder_watch.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

constexpr int kCount = 300;

class StopSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(StopSignalTest, EndsWithWholeTargetsAllLoggedAndTheSignalsStatus) {
    const int signal = GetParam();
    const test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    QStringList sources;
    std::vector<std::vector<std::uint8_t>> converted;
    for (int i = 0; i < kCount; ++i) {
        const Bitmap24 picture = test::photoLike(32 + i % 13, 24 + i % 7, static_cast<unsigned>(i));
        sources << sandbox.write(QStringLiteral("p%1.bmp").arg(i, 4, 10, QLatin1Char('0')),
                                 encodeBmp(picture));
        converted.push_back(encodeJpeg(picture, 90));
    }
    const auto target = [&](int i) { return QString(sources[i]).replace(".bmp", ".jpg"); };

    // On a busy machine the run may end before the signal; then it is run
    // again from the start.
    QProcess process;
    bool stopped = false;
    for (int attempt = 0; attempt < 5 && !stopped; ++attempt) {
        for (int i = 0; i < kCount; ++i) QFile::remove(target(i));
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(root).constData(), IN_MOVED_TO), 0);
        process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM),
                      QStringList{"--to", "JPG", "--jobs", "2"} + sources);
        ASSERT_TRUE(process.waitForStarted());
        const int renamed = test::awaitRenames(watch, 20, process);
        ::close(watch);
        if (renamed > 0) {
            ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        }
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
        stopped = process.exitCode() != 0;
    }
    ASSERT_TRUE(stopped) << "the run always ended before the signal";

    EXPECT_EQ(process.exitCode(), 128 + signal);
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_EQ(err, QString());
    QStringList log = QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n');
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.takeLast(), QString());
    EXPECT_EQ(log.takeLast(), "stopped!");

    // The targets written are the first ones of the list, each whole and
    // logged, in list order.
    QStringList written;
    for (int i = 0; i < kCount; ++i) {
        if (!QFileInfo::exists(target(i))) continue;
        written << target(i);
        EXPECT_EQ(test::Sandbox::read(target(i)), converted[static_cast<std::size_t>(i)])
            << target(i).toStdString();
    }
    EXPECT_EQ(log, written);
    EXPECT_GT(written.size(), 0);
    EXPECT_LT(written.size(), kCount);
    for (int i = 0; i < written.size(); ++i) EXPECT_EQ(written[i], target(i));
    EXPECT_EQ(QDir(root).entryList(QDir::Hidden | QDir::Files).filter(QRegularExpression("^\\.")),
              QStringList());
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == SIGINT ? std::string("Interrupt")
                                                         : std::string("Terminate");
                         });

}  // namespace
}  // namespace quillmere
