#include "run_program.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <csignal>

namespace quillmere::test {

ProgramRun runBatchProgram(const QStringList& arguments, const QString& workingDirectory,
                           const std::function<void()>& setUp, const QByteArray& input) {
    QProcess process;
    if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
    if (setUp) process.setChildProcessModifier(setUp);
    process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM), arguments);
    if (process.waitForStarted() && !input.isEmpty()) process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    const QByteArray out = process.readAllStandardOutput();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(out), QString::fromLocal8Bit(process.readAllStandardError()),
            out};
}

std::function<void()> fileSizeLimit(rlim_t bytes) {
    return [bytes] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kSetUpFailed);
        limit.rlim_cur = bytes;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kSetUpFailed);
    };
}

}  // namespace quillmere::test
