#include "common/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/app_error.h"
#include "common/common_messages.h"
#include "common/lenient_int.h"
#include "common/path_encoding.h"
#include "common/staged_file.h"

namespace quillmere {

namespace {

// The section a header line names, or nothing for another line.
std::optional<QStringView> sectionOf(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(u'[')) return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0) return std::nullopt;
    return trimmed.sliced(1, close - 1).trimmed();
}

// The key of an entry line, or nothing for a comment or another line.
std::optional<QStringView> keyOf(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';')) return std::nullopt;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) return std::nullopt;
    return line.first(equals).trimmed();
}

bool sameName(QStringView a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray readFileBytes(const QByteArray& path) {
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    char buffer[8192];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, got);
    ::close(fd);
    return bytes;
}

}  // namespace

IniFile::IniFile(const QString& path) : IniFile(path, readFileBytes(encodePath(path))) {}

IniFile::IniFile(const QString& path, QByteArray bytes) : path_(path) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    if (bytes.isEmpty()) return;
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_ = text.split(u'\n');
    if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
}

IniFile::Location IniFile::find(const QString& section, const QString& key) const {
    Location where;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (const auto name = sectionOf(lines_[i])) {
            if (where.sectionLine >= 0) break;  // the section has ended
            if (sameName(*name, section)) {
                where.sectionLine = i;
                where.sectionEnd = i + 1;
            }
            continue;
        }
        if (where.sectionLine < 0) continue;
        if (const auto name = keyOf(lines_[i])) {
            where.sectionEnd = i + 1;
            if (where.keyLine < 0 && sameName(*name, key)) where.keyLine = i;
        }
    }
    return where;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const Location where = find(section, key);
    if (where.keyLine < 0) return std::nullopt;
    const QString& line = lines_[where.keyLine];
    return line.mid(line.indexOf(u'=') + 1);
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& fallback) const {
    const std::optional<QString> text = value(section, key);
    return text ? text->left(kMaxValueLength) : fallback.left(kMaxValueLength);
}

std::optional<int> IniFile::readInteger(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    if (!text) return std::nullopt;
    // Two different fallbacks tell an unreadable value from a number.
    const int first = readLenientInt(*text, 0);
    if (first != 0 || readLenientInt(*text, 1) == 0) return first;
    return std::nullopt;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString entry = key + u'=' + value;
    const Location where = find(section, key);
    if (where.keyLine >= 0) {
        lines_[where.keyLine] = entry;
    } else if (where.sectionLine >= 0) {
        lines_.insert(where.sectionEnd, entry);
    } else {
        lines_ << u'[' + section + u']' << entry;
    }
}

void IniFile::save() const {
    const auto fail = [this] { throw AppError(common_messages::unableToWrite(path_)); };
    const QByteArray target = encodePath(path_);
    mode_t mode = 0666;
    struct stat info {};
    if (::stat(target.constData(), &info) == 0) {
        if (::access(target.constData(), W_OK) != 0) fail();
        mode = info.st_mode & 07777;
    }

    QByteArray bytes = lines_.join(u'\n').toUtf8();
    bytes += '\n';
    StagedFile staged;
    if (staged.create(target, mode) != 0 ||
        staged.write(bytes.constData(), static_cast<std::size_t>(bytes.size())) != 0 ||
        staged.sync() != 0 || staged.moveOntoTarget() != 0) {
        fail();
    }
}

}  // namespace quillmere
