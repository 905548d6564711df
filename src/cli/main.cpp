#include <QCoreApplication>
#include <iostream>

#include "cli/batch_command.h"
#include "common/memory_tuning.h"
#include "common/path_encoding.h"

int main(int argc, char* argv[]) {
    quillmere::keepPictureBuffersForReuse();
    QCoreApplication application(argc, argv);
    // Arguments are decoded like file names, so any path given reaches its file.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << quillmere::decodePath(argv[i]);
    return quillmere::runBatchCommand(arguments, std::cout, std::cerr);
}
