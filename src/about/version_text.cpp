#include "about/version_text.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "about/about_messages.h"
#include "about/build_constants.h"

namespace quillmere {

std::optional<FileVersion> runningProgramVersionInfo(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo program(QCoreApplication::applicationFilePath());
    if (!file.exists() || file.canonicalFilePath() != program.canonicalFilePath()) {
        return std::nullopt;
    }
    return programVersion();
}

QString Zero_pad(unsigned value, int width) {
    QString text = QString::number(value);
    if (text.size() <= width) return text.rightJustified(width, u'0');
    return text.right(2);
}

QString versionText(const FileVersion& version) {
    return Zero_pad(version.major, 2) + u'.' + Zero_pad(version.minor, 2) + u'.' +
           Zero_pad(version.release, 2) + u'.' + Zero_pad(version.build, 2);
}

QString Get_file_version(const QString& path, const VersionInfoReader& readVersionInfo) {
    const std::optional<FileVersion> version = readVersionInfo(path);
    if (!version) return about_messages::unknownVersion();
    return versionText(*version);
}

QChar dateSeparator(const QLocale& locale) {
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetter()) return c;
    }
    return u'/';
}

QString releaseDateText(const QDate& date, const QLocale& locale) {
    if (!date.isValid()) return {};
    const QChar separator = dateSeparator(locale);
    const auto digits = [](int value, int width) {
        return QString::number(value).rightJustified(width, u'0');
    };
    return digits(date.year(), 4) + separator + digits(date.month(), 2) + separator +
           digits(date.day(), 2);
}

}  // namespace quillmere
