#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace quillmere {

// The four fields of a file version.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t release = 0;
    std::uint16_t build = 0;
};

// Reads the version information of a file: nothing when it has none.
using VersionInfoReader = std::function<std::optional<FileVersion>(const QString& path)>;

// The version information this platform has: the running program carries
// its version compiled in; no other file has any.
std::optional<FileVersion> runningProgramVersionInfo(const QString& path);

// The decimal text of `value` at `width` characters: zeros in front when it
// is shorter, its last two characters when it is longer (123 gives "23").
QString Zero_pad(unsigned value, int width);

// "major.minor.release.build", each field two digits ("01.02.00.15").
QString versionText(const FileVersion& version);

// The file version of the file at `path` as versionText writes it, or
// "?.?.?.?" when the file has no version information.
QString Get_file_version(const QString& path,
                         const VersionInfoReader& readVersionInfo = runningProgramVersionInfo);

// The locale's date separator: the first character of its short date format
// that is not a letter, "/" when there is none.
QChar dateSeparator(const QLocale& locale);

// The date as year (four digits), month and day (two each), joined by the
// locale's date separator; empty for an invalid date.
QString releaseDateText(const QDate& date, const QLocale& locale);

}  // namespace quillmere
