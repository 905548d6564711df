#pragma once

#include <sys/resource.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "support/without_root_rights.h"

namespace quillmere::test {

// What one run of quillmere-batch left behind.
struct ProgramRun {
    int status = -1;  // the exit status; -1 when it crashed
    QString out;
    QString err;
    QByteArray outBytes;  // standard output as written
};

// Runs the real program as a script would, from `workingDirectory` when
// one is given. `setUp` runs in the child process just before the program
// starts (one of those below, for instance); a set-up that fails ends the
// child with kSetUpFailed before the program starts. The program reads
// `input` from its standard input, which then ends.
ProgramRun runBatchProgram(const QStringList& arguments, const QString& workingDirectory = {},
                           const std::function<void()>& setUp = {}, const QByteArray& input = {});

// Lets no file grow beyond `bytes`: a write past that fails with "File too
// large" (as on a file system that refuses the size) instead of ending the
// program with SIGXFSZ.
std::function<void()> fileSizeLimit(rlim_t bytes);

}  // namespace quillmere::test
