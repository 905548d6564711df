#pragma once

#include <QString>

namespace quillmere {

// A search-pattern text split into the folder it names and the file-name
// pattern.
struct SearchPattern {
    // The text up to and including its last "/"; empty when it has none.
    QString directory;
    // The text after its last "/"; the whole text when it has none.
    QString fileName;

    bool operator==(const SearchPattern&) const = default;
};

SearchPattern splitSearchPattern(const QString& text);

// Whether a search-pattern text is scanned at all: it holds "*." anywhere,
// in its directory part as well as in its file-name part.
bool isScannable(const QString& text);

// The file-name pattern searched for a format item ("JPG" gives "*.JPG").
QString patternForFormat(const QString& formatItem);

}  // namespace quillmere
