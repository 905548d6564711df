#include <QCoreApplication>
#include <iostream>

#include "cli/batch_command.h"
#include "common/memory_tuning.h"

int main(int argc, char* argv[]) {
    quillmere::keepPictureBuffersForReuse();
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return quillmere::runBatchCommand(arguments, std::cout, std::cerr);
}
