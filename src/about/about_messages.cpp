#include "about/about_messages.h"

namespace quillmere::about_messages {

QString boxCaption(const QString& shortName) {
    return QStringLiteral("About %s").replace(QStringLiteral("%s"), shortName);
}
QString designBoxCaption() {
    return QStringLiteral("About xxx");
}
QString designShortNameCaption() {
    return QStringLiteral("will  update file name here");
}
QString designVersionCaption() {
    return QStringLiteral("label_version_UpdateDate");
}
QString webButtonCaption() {
    return QStringLiteral("More Online information ");
}
QString checkForUpdateCaption() {
    return QStringLiteral("Check for Update");
}
QString copyrightLine() {
    return QStringLiteral("Copyright (C) The Quillmere authors");
}

QString versionAndDate(const QString& version, const QString& date) {
    return QStringLiteral("Ver: ") + version + QStringLiteral(", Released on ") + date;
}

QString unknownVersion() {
    return QStringLiteral("?.?.?.?");
}
QString fontFamily() {
    return QStringLiteral("Consolas");
}

QString iconAccessibleName(const QString& shortName) {
    return QStringLiteral("%1 icon").arg(shortName);
}

QString upgradeNotAvailable() {
    return QStringLiteral("Web site upgrade not available.");
}

QString releaseStatus(const QString& releaseVersion) {
    return QStringLiteral("Version:  ") + releaseVersion + QStringLiteral("\r\navailable online");
}

QString indexUnreadable(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot read the release index: %1\r\n[%2]").arg(reason, path);
}

QString downloadQuestion(const QString& fileName, const QString& version) {
    return QStringLiteral("File: ") + fileName + QStringLiteral("\r\nVersion: ") + version +
           QStringLiteral("\r\ndownload online?");
}

QString downloadFailed(const QString& fileName) {
    return QStringLiteral("Error while downloading ") + fileName;
}

}  // namespace quillmere::about_messages
