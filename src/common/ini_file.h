#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quillmere {

// An INI file read and written by the rules of Windows profiles: section
// and key names match without regard to case; a value reads back exactly
// as written, cut to 2047 characters; writing a value replaces it where it
// stands, adds a missing key at the end of its section and a missing
// section at the end of the file, and keeps every other line as it was.
class IniFile {
  public:
    static constexpr qsizetype kMaxValueLength = 2047;

    // Reads the file; a missing or unreadable file reads as empty.
    explicit IniFile(const QString& path);
    // Reads the bytes as the file's contents; `path` is where save() writes.
    IniFile(const QString& path, QByteArray bytes);

    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // The value as a 32-bit integer (blanks first, a sign, decimal or "$",
    // "x", "0x" hexadecimal), or nothing when it is missing or not one.
    std::optional<int> readInteger(const QString& section, const QString& key) const;

    void writeString(const QString& section, const QString& key, const QString& value);

    // Writes the file through a temporary file renamed over it, so it is
    // never left half-written. "Unable to write to" the path on failure.
    void save() const;

  private:
    struct Location {
        qsizetype sectionLine = -1;  // the header, -1 when missing
        qsizetype keyLine = -1;      // the entry, -1 when missing
        qsizetype sectionEnd = -1;   // one past the section's last entry
    };
    Location find(const QString& section, const QString& key) const;
    std::optional<QString> value(const QString& section, const QString& key) const;

    QString path_;
    QStringList lines_;
};

}  // namespace quillmere
