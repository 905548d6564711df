#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <istream>

namespace quillmere {

// The names of a list such as `find` writes: each ends at `separator`
// ('\n', or '\0' as -print0 writes them), the last one may end at the end
// of the text, and empty names are left out. Names are taken byte for
// byte, as file names are (see decodePath).
QStringList splitNameList(QByteArrayView text, char separator);

// The names listed in `file`, or in `standardInput` when `file` is "-".
// A file that cannot be read is an AppError.
QStringList readNameList(const QString& file, char separator, std::istream& standardInput);

}  // namespace quillmere
