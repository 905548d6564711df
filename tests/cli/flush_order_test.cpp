// Many small targets reach the disk with few flushes, and none is renamed
// onto its name before a flush that came after its last byte was written:
// the program's system calls, as strace records them, show both.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <map>

#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

bool straceRuns() {
    QProcess probe;
    probe.start("strace", {"-o", "/dev/null", "true"});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

struct FlushTrace {
    int flushes = 0;
    int renames = 0;
    QStringList renamedBeforeFlush;
};

// Reads strace's lines ("PID CALL(ARGS) = RESULT", a call cut by another
// thread's being joined where it resumes): which temporary file each
// descriptor writes, when it was last written, and whether a flush
// (syncfs, fsync, fdatasync) ended between that and its rename.
FlushTrace readTrace(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    static const QRegularExpression unfinished(R"re(^(\d+) +(.*) <unfinished \.\.\.>$)re");
    static const QRegularExpression resumed(R"re(^(\d+) +<\.\.\. \w+ resumed>(.*)$)re");
    static const QRegularExpression open(R"re(openat\(.*"([^"]*\.tmp)", .*\) += (\d+))re");
    static const QRegularExpression write(R"re(^write\((\d+),)re");
    static const QRegularExpression flush(R"re(^(syncfs|fsync|fdatasync)\(\d+\) += 0)re");
    static const QRegularExpression rename(R"re(^renameat2?\(.*"([^"]*\.tmp)", )re");
    FlushTrace trace;
    std::map<QString, QString> cut;  // by thread
    std::map<int, QString> temporaryOf;
    std::map<QString, int> lastWrite;
    int line = 0;
    int lastFlush = -1;
    while (!file.atEnd()) {
        QString text = QString::fromUtf8(file.readLine()).trimmed();
        ++line;
        if (const auto m = unfinished.match(text); m.hasMatch()) {
            cut[m.captured(1)] = m.captured(2);
            continue;
        }
        if (const auto m = resumed.match(text); m.hasMatch()) {
            text = cut[m.captured(1)] + m.captured(2);
        } else {
            text = text.section(' ', 1).trimmed();
        }
        if (const auto m = open.match(text); m.hasMatch()) {
            temporaryOf[m.captured(2).toInt()] = m.captured(1);
        } else if (const auto m = write.match(text); m.hasMatch()) {
            if (const auto found = temporaryOf.find(m.captured(1).toInt());
                found != temporaryOf.end())
                lastWrite[found->second] = line;
        } else if (flush.match(text).hasMatch()) {
            ++trace.flushes;
            lastFlush = line;
        } else if (const auto m = rename.match(text); m.hasMatch()) {
            ++trace.renames;
            const auto written = lastWrite.find(m.captured(1));
            if (written == lastWrite.end() || lastFlush < written->second)
                trace.renamedBeforeFlush << m.captured(1);
        }
    }
    return trace;
}

TEST(FlushOrder, FewFlushesEachBeforeTheRenamesItCovers) {
    if (!straceRuns()) GTEST_SKIP() << "strace cannot trace here";
    const test::Sandbox sandbox;
    constexpr int kCount = 320;
    QStringList sources;
    for (int i = 0; i < kCount; ++i) {
        sources << sandbox.write(QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0')),
                                 encodePng(test::photoLike(24, 16, static_cast<unsigned>(i))));
    }
    const QString tracePath = sandbox.path("calls.txt");
    QProcess process;
    // LeakSanitizer cannot run under a tracer; the sanitizer builds check
    // for leaks in the other tests.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString asan = environment.value("ASAN_OPTIONS");
    environment.insert("ASAN_OPTIONS", (asan.isEmpty() ? "" : asan + ':') + "detect_leaks=0");
    process.setProcessEnvironment(environment);
    process.start("strace", QStringList{"-f", "-o", tracePath, "-e",
                                        "trace=openat,write,syncfs,fsync,fdatasync,renameat,"
                                        "renameat2",
                                        QStringLiteral(QUILLMERE_BATCH_PROGRAM), "--to", "JPG"} +
                                sources);
    ASSERT_TRUE(process.waitForFinished(120000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    const FlushTrace trace = readTrace(tracePath);
    EXPECT_EQ(trace.renames, kCount);
    EXPECT_GE(trace.flushes, 1);
    EXPECT_LE(trace.flushes, kCount / 32 + 2);
    EXPECT_EQ(trace.renamedBeforeFlush, QStringList());
}

}  // namespace
}  // namespace quillmere
