#pragma once

#include <QString>
#include <QStringList>

namespace quillmere::test {

// What one run of quillmere-batch left behind.
struct ProgramRun {
    int status = -1;  // the exit status; -1 when it crashed
    QString out;
    QString err;
};

// Runs the real program as a script would, from `workingDirectory` when
// one is given.
ProgramRun runBatchProgram(const QStringList& arguments, const QString& workingDirectory = {});

}  // namespace quillmere::test
