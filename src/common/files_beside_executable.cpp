#include "common/files_beside_executable.h"

#include <QDir>
#include <QFileInfo>

#include "common/path_text.h"

namespace quillmere {

namespace {

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(u'/') + 1);
}

}  // namespace

QString chooseFilesFolder(const QString& executableFolder, bool executableFolderWritable,
                          bool settingsFileThere, const QString& userFolder) {
    if (executableFolderWritable || settingsFileThere || userFolder.isEmpty()) {
        return withTrailingSlash(executableFolder);
    }
    return withTrailingSlash(userFolder);
}

QString programFilesFolder(const QString& executablePath, const QString& userFolder) {
    const QString folder = folderOf(executablePath);
    const bool writable = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).isWritable();
    const bool settingsThere = QFileInfo::exists(folder + settingsFileName(executablePath));
    const QString chosen = chooseFilesFolder(folder, writable, settingsThere, userFolder);
    if (chosen != withTrailingSlash(folder)) QDir().mkpath(chosen);
    return chosen;
}

QString settingsFileName(const QString& executablePath) {
    QString name = fileNamePart(executablePath);
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0) name.truncate(dot);
    return name + QStringLiteral(".ini");
}

QString windowProgramFileName() {
    return QStringLiteral(QUILLMERE_WINDOW_PROGRAM);
}

QString batchProgramFileName() {
    return QStringLiteral(QUILLMERE_BATCH_PROGRAM);
}

QString releaseIndexFileName() {
    return QStringLiteral("index.json");
}

QStringList ownFileNames(const QString& executablePath) {
    QStringList names{fileNamePart(executablePath), settingsFileName(executablePath),
                      windowProgramFileName(),      settingsFileName(windowProgramFileName()),
                      batchProgramFileName(),       releaseIndexFileName()};
    names.removeDuplicates();
    return names;
}

}  // namespace quillmere
