#include "run_program.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace quillmere::test {

ProgramRun runBatchProgram(const QStringList& arguments, const QString& workingDirectory) {
    QProcess process;
    if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(QUILLMERE_BATCH_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

}  // namespace quillmere::test
