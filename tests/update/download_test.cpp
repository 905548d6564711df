#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QUrl>

#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"
#include "update/download.h"

namespace quillmere {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The release file's limits with a whole-transfer limit of `total`.
DownloadLimits totalOf(std::chrono::milliseconds total) {
    DownloadLimits limits;
    limits.totalTimeout = total;
    return limits;
}

class DownloadTest : public ::testing::Test {
  protected:
    // Leftover temporary files beside the target, if any.
    QStringList folderEntries() const {
        return QDir(sandbox.path("")).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Downloads `path` from the server over a target holding "old"; the
    // result, and how long it took.
    std::pair<bool, qint64> timedDownload(const char* path, const DownloadLimits& limits) {
        const QString target = sandbox.write("target.bin", QByteArray("old"));
        QElapsedTimer timer;
        timer.start();
        const bool done = Download_file(server.url(path), target, limits);
        return {done, timer.elapsed()};
    }

    QByteArray target() const { return contentOf(sandbox.path("target.bin")); }

    test::Sandbox sandbox;
    LoopbackServer server;
};

TEST(DownloadLimitsTest, TheReleaseFileIsBoundByStallAndSizeTheIndexAlsoByTime) {
    const struct {
        const char* what;
        DownloadLimits limits;
        std::chrono::milliseconds total;
        qint64 maxBytes;
    } cases[] = {
        {"release file", DownloadLimits{}, 0ms, qint64{2} * 1024 * 1024 * 1024},
        {"release index", releaseIndexLimits(), 20s, 1024 * 1024},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.limits.connectTimeout, 5s) << c.what;
        EXPECT_EQ(c.limits.totalTimeout, c.total) << c.what;
        EXPECT_EQ(c.limits.stallBytesPerSecond, 1024) << c.what;
        EXPECT_EQ(c.limits.stallTime, 30s) << c.what;
        EXPECT_EQ(c.limits.maxBytes, c.maxBytes) << c.what;
        EXPECT_EQ(c.limits.maxRedirects, 5) << c.what;
    }
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
    EXPECT_FALSE(Download_file(server.url("/slow"), target, totalOf(700ms)));
    EXPECT_GE(timer.elapsed(), 600);
    EXPECT_LT(timer.elapsed(), 4000);
    EXPECT_EQ(contentOf(target), "old");
    EXPECT_EQ(folderEntries(), QStringList{"file.bin"});
}

TEST_F(DownloadTest, FollowsOnlyAFewRedirects) {
    // /hop/N redirects to /hop/N-1; /hop/0 is the file.
    server.serve("/hop/0", QByteArray("arrived"));
    for (int hop = 1; hop <= 6; ++hop) {
        server.serve("/hop/" + QByteArray::number(hop),
                     LoopbackServer::Response{302, {}, "/hop/" + QByteArray::number(hop - 1)});
    }
    const QByteArray elsewhere =
        QStringLiteral("file://%1").arg(sandbox.write("local.txt", QByteArray("local"))).toUtf8();
    server.serve("/to-file", LoopbackServer::Response{302, {}, elsewhere});
    server.serve("/to-ftp", LoopbackServer::Response{
                                302, {}, "ftp://127.0.0.1:" + QByteArray::number(server.port())});
    const struct {
        const char* path;
        long maxRedirects;
        bool succeeds;
    } cases[] = {
        {"/hop/0", 5, true},  {"/hop/5", 5, true},  {"/hop/6", 5, false},   {"/hop/1", 1, true},
        {"/hop/2", 1, false}, {"/hop/1", 0, false}, {"/to-file", 5, false}, {"/to-ftp", 5, false},
    };
    for (const auto& c : cases) {
        DownloadLimits limits;
        limits.maxRedirects = c.maxRedirects;
        EXPECT_EQ(timedDownload(c.path, limits).first, c.succeeds)
            << c.path << " with " << c.maxRedirects;
        EXPECT_EQ(target(), c.succeeds ? "arrived" : "old") << c.path << " with " << c.maxRedirects;
        EXPECT_EQ(folderEntries(), (QStringList{"local.txt", "target.bin"})) << c.path;
    }
}

TEST_F(DownloadTest, ABodyBeyondTheSizeLimitIsAFailure) {
    const QByteArray limit(1000, 'x');
    const QByteArray more(1001, 'y');
    const struct {
        const char* what;
        LoopbackServer::Response response;
        bool succeeds;
    } cases[] = {
        {"the limit, announced", {.body = limit}, true},
        {"the limit, chunked", {.body = limit, .chunked = true}, true},
        {"the limit, in pieces", {.body = limit, .chunked = true, .pieceSize = 100}, true},
        {"a byte more, announced", {.body = more}, false},
        {"a byte more, chunked", {.body = more, .chunked = true}, false},
        {"a byte more, in pieces", {.body = more, .chunked = true, .pieceSize = 100}, false},
        {"a byte more, on an error page", {.status = 404, .body = more}, false},
    };
    DownloadLimits limits;
    limits.maxBytes = 1000;
    for (const auto& c : cases) {
        server.serve("/file.bin", c.response);
        EXPECT_EQ(timedDownload("/file.bin", limits).first, c.succeeds) << c.what;
        EXPECT_EQ(target(), c.succeeds ? c.response.body : "old") << c.what;
        EXPECT_EQ(folderEntries(), QStringList{"target.bin"}) << c.what;
    }
}

TEST_F(DownloadTest, TheTransferEndsAsSoonAsTheBodyPassesTheLimit) {
    // 2000 bytes of an endless body, then silence: only the size limit can
    // end this download before the whole-transfer limit does.
    server.serve("/endless", {.body = QByteArray(4000, 'x'), .chunked = true, .stallAfter = 2000});
    DownloadLimits limits = totalOf(3s);
    limits.maxBytes = 1000;
    const auto [done, elapsed] = timedDownload("/endless", limits);
    EXPECT_FALSE(done);
    EXPECT_LT(elapsed, 1500);
    EXPECT_EQ(target(), "old");
    EXPECT_EQ(folderEntries(), QStringList{"target.bin"});
}

// The stall rule with a window of one second, and no whole-transfer limit.
DownloadLimits stallAfterOneSecond() {
    DownloadLimits limits;
    limits.stallTime = 1s;
    return limits;
}

TEST_F(DownloadTest, AStalledTransferEndsAfterTheStallTime) {
    server.serve("/stalls", {.body = QByteArray(100000, 'x'), .stallAfter = 10});
    server.serve("/stalls-chunked",
                 {.body = QByteArray(100000, 'x'), .chunked = true, .stallAfter = 10});
    server.holdSilently("/silent");
    // The whole-transfer limit only stops a download that the stall rule
    // failed to end.
    DownloadLimits limits = stallAfterOneSecond();
    limits.totalTimeout = 5s;
    for (const char* path : {"/stalls", "/stalls-chunked", "/silent"}) {
        const auto [done, elapsed] = timedDownload(path, limits);
        EXPECT_FALSE(done) << path;
        EXPECT_GE(elapsed, 900) << path;
        EXPECT_LT(elapsed, 4000) << path;
        EXPECT_EQ(target(), "old") << path;
        EXPECT_EQ(folderEntries(), QStringList{"target.bin"}) << path;
    }
}

TEST_F(DownloadTest, ASlowButSteadyTransferOutlastsTheStallTime) {
    // About 3 KB/s for two seconds: twice the stall time, above its 1 KB/s.
    const QByteArray body(6000, 's');
    server.serve("/steady", {.body = body, .chunked = true, .pieceSize = 300, .pause = 100ms});
    const auto [done, elapsed] = timedDownload("/steady", stallAfterOneSecond());
    EXPECT_TRUE(done);
    EXPECT_GE(elapsed, 1500);
    EXPECT_EQ(target(), body);

    // A whole-transfer limit, as the index has, cuts the same answer short.
    DownloadLimits bounded = stallAfterOneSecond();
    bounded.totalTimeout = 1s;
    EXPECT_FALSE(timedDownload("/steady", bounded).first);
    EXPECT_EQ(target(), "old");
}

}  // namespace
}  // namespace quillmere
