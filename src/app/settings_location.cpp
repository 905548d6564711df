#include "app/settings_location.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "common/files_beside_executable.h"

namespace quillmere {

QString settingsPathBeside(const QString& executablePath) {
    return executablePath.left(executablePath.lastIndexOf(u'/') + 1) +
           settingsFileName(executablePath);
}

QString settingsFilePath() {
    const QString executable = QCoreApplication::applicationFilePath();
    return programFilesFolder(executable,
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)) +
           settingsFileName(executable);
}

}  // namespace quillmere
