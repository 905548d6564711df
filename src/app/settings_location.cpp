#include "app/settings_location.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/path_encoding.h"
#include "common/path_text.h"

namespace quillmere {

QString settingsPathBeside(const QString& executablePath) {
    const qsizetype dot = extensionDotIndex(executablePath);
    return (dot < 0 ? executablePath : executablePath.left(dot)) + QStringLiteral(".ini");
}

QString settingsFilePath() {
    const QString beside = settingsPathBeside(QCoreApplication::applicationFilePath());
    const QString folder = QFileInfo(beside).path();
    if (QFileInfo::exists(beside) || ::access(encodePath(folder).constData(), W_OK) == 0) {
        return beside;
    }
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(perUser);
    return perUser + u'/' + fileNamePart(beside);
}

}  // namespace quillmere
