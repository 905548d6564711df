#include "about/files_beside_executable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "common/path_text.h"

namespace quillmere {

namespace {

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(u'/') + 1);
}

// The settings reader takes at most this many characters of a value.
constexpr qsizetype kMaxValueLength = 2047;

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

QString readSettingsValue(const QString& settingsPath, const QString& section, const QString& key) {
    QFile file(settingsPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(file.readAll());
    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            if (inSection) return {};  // only the first section of the name counts
            const qsizetype close = line.indexOf(u']');
            inSection =
                close > 0 &&
                line.sliced(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0) continue;
        if (line.first(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            return line.sliced(equals + 1).trimmed().left(kMaxValueLength).toString();
        }
    }
    return {};
}

QString configuredReleaseServer(const QString& settingsPath, const QString& builtIn) {
    const QString configured =
        readSettingsValue(settingsPath, QStringLiteral("Update"), QStringLiteral("BaseURL"));
    return configured.isEmpty() ? builtIn : configured;
}

}  // namespace quillmere
