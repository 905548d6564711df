#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest print Qt strings (and lists of them) in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
