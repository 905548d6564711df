#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QUrl>

#include "about/download.h"
#include "loopback_server.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class DownloadTest : public ::testing::Test {
  protected:
    // Leftover temporary files beside the target, if any.
    QStringList folderEntries() const {
        return QDir(sandbox.path("")).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    test::Sandbox sandbox;
    LoopbackServer server;
};

TEST_F(DownloadTest, DefaultLimitsAreFiveSecondsToConnectAndTwentyInAll) {
    const DownloadLimits limits;
    EXPECT_EQ(limits.connectTimeout, 5s);
    EXPECT_EQ(limits.totalTimeout, 20s);
}

TEST_F(DownloadTest, OnlyA2xxAnswerReplacesTheTarget) {
    server.serve("/file.bin", QByteArray("new\0content", 11));
    server.serve("/empty", LoopbackServer::Response{204, {}, {}});
    server.serve("/moved", LoopbackServer::Response{302, "see there", "/file.bin"});
    server.serve("/moved-away", LoopbackServer::Response{301, {}, "/nowhere"});
    server.serve("/broken", LoopbackServer::Response{500, "oops", {}});
    const struct {
        const char* path;
        bool succeeds;
        QByteArray content;
    } cases[] = {
        {"/file.bin", true, QByteArray("new\0content", 11)},
        {"/empty", true, ""},
        {"/moved", true, QByteArray("new\0content", 11)},
        {"/nowhere", false, "old"},
        {"/moved-away", false, "old"},
        {"/broken", false, "old"},
    };
    for (const auto& c : cases) {
        const QString target = sandbox.write("target.bin", QByteArray("old"));
        EXPECT_EQ(Download_file(server.url(c.path), target), c.succeeds) << c.path;
        EXPECT_EQ(contentOf(target), c.content) << c.path;
        EXPECT_EQ(folderEntries(), QStringList{"target.bin"}) << c.path;
    }
}

TEST_F(DownloadTest, CreatesANewFile) {
    server.serve("/a%20b.bin", QByteArray("spaced"));
    const QString target = sandbox.path("a b.bin");
    EXPECT_TRUE(Download_file(server.url("/a b.bin"), target));
    EXPECT_EQ(contentOf(target), "spaced");
    EXPECT_EQ(server.requests(), QList<QByteArray>{"/a%20b.bin"});
}

TEST_F(DownloadTest, ATargetThatCannotBeWrittenIsAFailure) {
    server.serve("/file.bin", QByteArray("content"));
    ASSERT_TRUE(QDir().mkpath(sandbox.path("folder")));
    const QString targets[] = {sandbox.path("missing/file.bin"), sandbox.path("folder")};
    for (const QString& target : targets) {
        EXPECT_FALSE(Download_file(server.url("/file.bin"), target)) << target.toStdString();
    }
    EXPECT_TRUE(QFileInfo(sandbox.path("folder")).isDir());
    EXPECT_FALSE(QFileInfo::exists(sandbox.path("missing")));
}

TEST_F(DownloadTest, NeverReplacesTheRunningProgram) {
    server.serve("/program", QByteArray("not a program"));
    const QString program = QCoreApplication::applicationFilePath();
    const qint64 size = QFileInfo(program).size();
    EXPECT_FALSE(Download_file(server.url("/program"), program));
    EXPECT_EQ(QFileInfo(program).size(), size);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(DownloadTest, OnlyWebAddressesAreFetched) {
    const QString local = sandbox.write("local.txt", QByteArray("local"));
    const QString target = sandbox.path("copy.txt");
    EXPECT_FALSE(Download_file(QUrl::fromLocalFile(local).toString(), target));
    EXPECT_FALSE(Download_file("", target));
    EXPECT_FALSE(Download_file("no address at all", target));
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_F(DownloadTest, AnUnreachableServerFailsAtOnce) {
    const QString target = sandbox.path("file.bin");
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(Download_file(
        QStringLiteral("http://127.0.0.1:%1/file.bin").arg(test::closedLoopbackPort()), target));
    EXPECT_LT(timer.elapsed(), 4000);
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_F(DownloadTest, AServerThatNeverAnswersEndsAtTheTotalTimeout) {
    server.holdSilently("/slow");
    const QString target = sandbox.write("file.bin", QByteArray("old"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(Download_file(server.url("/slow"), target, DownloadLimits{5s, 700ms}));
    EXPECT_GE(timer.elapsed(), 600);
    EXPECT_LT(timer.elapsed(), 4000);
    EXPECT_EQ(contentOf(target), "old");
    EXPECT_EQ(folderEntries(), QStringList{"file.bin"});
}

}  // namespace
}  // namespace quillmere
