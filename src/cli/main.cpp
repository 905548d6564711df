#include <unistd.h>

#include <QGuiApplication>
#include <iostream>
#include <optional>

#include "cli/batch_command.h"
#include "common/memory_tuning.h"
#include "common/path_encoding.h"

namespace {

// Standard error carries the program's own messages only: Qt's chatter
// (such as the offscreen platform's remarks on the runtime folder) is dropped.
void keepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

}  // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(keepQtQuiet);
    // Arguments are decoded like file names, so any path given reaches its file.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << quillmere::decodePath(argv[i]);

    // Metafile text needs fonts, which need the GUI application object; the
    // offscreen platform gives it without a display. Starting it costs more
    // than converting a small picture, so it is made only for metafiles, on
    // this thread, before any worker could draw.
    std::optional<QGuiApplication> application;
    quillmere::BatchCommandEnvironment environment;
    environment.needFonts = [&] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application.emplace(argc, argv);
    };
    environment.progressOnTerminal = ::isatty(STDERR_FILENO) == 1;
    environment.budgetChosen = quillmere::keepPictureBuffersForReuse;
    environment.stopOnSignals = true;
    return quillmere::runBatchCommand(arguments, std::cout, std::cerr, environment);
}
