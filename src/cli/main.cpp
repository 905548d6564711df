#include <unistd.h>

#include <QtGlobal>
#include <iostream>
#include <optional>

#include "cli/batch_command.h"
#include "common/memory_tuning.h"
#include "common/path_encoding.h"
#include "imaging/metafile_plugin_loader.h"

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

    // Metafiles are played by a plug-in that needs QtGui and its GUI
    // application object (for fonts). Loading them costs more than
    // converting a small picture, so the plug-in is loaded only for a list
    // that holds a metafile, on this thread, before any worker could draw.
    std::optional<quillmere::LoadedMetafilePlayer> metafilePlayer;
    quillmere::BatchCommandEnvironment environment;
    environment.needFonts = [&] { metafilePlayer.emplace(argc, argv); };
    environment.progressOnTerminal = ::isatty(STDERR_FILENO) == 1;
    environment.budgetChosen = quillmere::keepPictureBuffersForReuse;
    environment.stopOnSignals = true;
    return quillmere::runBatchCommand(arguments, std::cout, std::cerr, environment);
}
