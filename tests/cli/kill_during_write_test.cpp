// The program killed while it writes a large target over an old one: the
// old target must stay byte for byte, and nothing but the program's
// temporary file (which no one is left to remove) may be added.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <chrono>

#include "folder_watch.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "support/folder_contents.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::uint8_t> kOldTarget = {'o', 'l', 'd', ' ', 'P', 'N', 'G'};

// The name of the first file matching `pattern` created in the folder
// watched by `watch`, or nothing when none comes in time or the process
// has ended.
QString awaitCreation(int watch, const QRegularExpression& pattern, QProcess& process,
                      Clock::duration timeout) {
    const Clock::time_point end = Clock::now() + timeout;
    alignas(inotify_event) char buffer[4096];
    while (Clock::now() < end && !process.waitForFinished(0)) {
        pollfd ready{watch, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) continue;
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
            if (pattern.match(name).hasMatch()) return name;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return {};
}

// Waits until the file holds some bytes (or is gone), for a second at most.
void awaitFirstBytes(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(1);
    struct stat info {};
    while (Clock::now() < end && ::stat(native.constData(), &info) == 0 && info.st_size == 0) {
    }
}

TEST(KillDuringWrite, TheOldTargetStaysWhole) {
    const test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    // Megabytes of PNG to write: the kill lands while they are written.
    const QString source = sandbox.write("big.jpg", encodeJpeg(test::photoLike(3000, 2000), 90));
    const QString target = sandbox.write("big.png", kOldTarget);
    const QStringList before = test::folderContents(root);
    const QRegularExpression temporary(R"(^\.big\.png\.[0-9a-z]+\.tmp$)");

    // On a busy machine the program may write, rename and end between the
    // first bytes and the kill; then the old target is put back and the
    // program run again, until a kill lands while it runs.
    bool killed = false;
    for (int attempt = 0; attempt < 5 && !killed; ++attempt) {
        if (attempt > 0) {
            sandbox.write("big.png", kOldTarget);
            ASSERT_EQ(test::folderContents(root), before);
        }
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(root).constData(), IN_CREATE), 0);
        QProcess process;
        process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM),
                      {"--to", "PNG", "--overwrite", "--jobs", "1", source});
        ASSERT_TRUE(process.waitForStarted());
        const QString created = awaitCreation(watch, temporary, process, std::chrono::seconds(120));
        if (!created.isEmpty()) awaitFirstBytes(root + '/' + created);
        process.kill();
        ::close(watch);
        ASSERT_TRUE(process.waitForFinished());
        killed = process.exitStatus() == QProcess::CrashExit;
        if (!killed) {
            ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
            continue;
        }
        ASSERT_FALSE(created.isEmpty())
            << "no temporary file appeared: " << process.readAllStandardError().toStdString();
    }
    ASSERT_TRUE(killed) << "the program always ended before the kill";

    QStringList after = test::folderContents(root);
    const QStringList leftovers =
        after.filter(QRegularExpression(R"(^\.big\.png\.[0-9a-z]+\.tmp )"));
    EXPECT_LE(leftovers.size(), 1);
    RecordProperty("leftover", leftovers.join(", ").toStdString());
    for (const QString& leftover : leftovers) after.removeOne(leftover);
    EXPECT_EQ(after, before);
    EXPECT_EQ(test::Sandbox::read(target), kOldTarget);
}

// Targets are flushed and renamed in groups: a kill while a group is being
// written, flushed or renamed leaves every target as it was or whole and
// new, never empty or cut short.
TEST(KillDuringWrite, EveryTargetOfAGroupStaysOldOrBecomesWhole) {
    const test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    constexpr int kCount = 600;
    QStringList sources;
    std::vector<std::vector<std::uint8_t>> converted;
    for (int i = 0; i < kCount; ++i) {
        const QString name = QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0'));
        const Bitmap24 picture =
            test::photoLike(40 + i % 17, 30 + i % 11, static_cast<unsigned>(i));
        sources << sandbox.write(name + ".bmp", encodeBmp(picture));
        converted.push_back(encodeJpeg(picture, 90));
    }
    const auto target = [&](int i) { return QString(sources[i]).replace(".bmp", ".jpg"); };
    const auto putOldTargets = [&] {
        for (int i = 0; i < kCount; i += 3)
            sandbox.write(QFileInfo(target(i)).fileName(), kOldTarget);
        for (int i = 0; i < kCount; ++i) {
            if (i % 3 != 0) QFile::remove(target(i));
        }
    };

    bool killed = false;
    for (int attempt = 0; attempt < 5 && !killed; ++attempt) {
        putOldTargets();
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(root).constData(), IN_MOVED_TO), 0);
        QProcess process;
        process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM),
                      QStringList{"--to", "JPG", "--overwrite"} + sources);
        ASSERT_TRUE(process.waitForStarted());
        const int renamed = test::awaitRenames(watch, 100, process);
        process.kill();
        ::close(watch);
        ASSERT_TRUE(process.waitForFinished());
        killed = process.exitStatus() == QProcess::CrashExit && renamed > 0;
    }
    ASSERT_TRUE(killed) << "the program always ended before the kill";

    int whole = 0;
    int old = 0;
    for (int i = 0; i < kCount; ++i) {
        SCOPED_TRACE(target(i).toStdString());
        if (!QFileInfo::exists(target(i))) {
            EXPECT_NE(i % 3, 0) << "an old target is gone";
            continue;
        }
        const std::vector<std::uint8_t> bytes = test::Sandbox::read(target(i));
        if (bytes == kOldTarget) {
            ++old;
        } else {
            EXPECT_EQ(bytes, converted[static_cast<std::size_t>(i)]);
            ++whole;
        }
    }
    // The kill came after some targets and before the last.
    EXPECT_GT(whole, 0);
    EXPECT_LT(whole, kCount);
    RecordProperty("written", whole);
    RecordProperty("old", old);
}

}  // namespace
}  // namespace quillmere
