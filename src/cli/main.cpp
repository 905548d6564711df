#include <QCoreApplication>
#include <iostream>

#include "cli/batch_command.h"

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return quillmere::runBatchCommand(arguments, std::cout, std::cerr);
}
