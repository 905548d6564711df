#include <QGuiApplication>
#include <iostream>

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
    quillmere::keepPictureBuffersForReuse();
    // Metafile text needs fonts, which need the GUI application object; the
    // offscreen platform gives it without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQtQuiet);
    QGuiApplication application(argc, argv);
    // Arguments are decoded like file names, so any path given reaches its file.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << quillmere::decodePath(argv[i]);
    return quillmere::runBatchCommand(arguments, std::cout, std::cerr);
}
