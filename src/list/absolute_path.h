#pragma once

#include <QString>

namespace quillmere {

// The absolute form of a path text, worked out on the text alone: a relative
// text is joined to `currentDirectory` ("/" between them unless that already
// ends with one), then "." segments and empty segments are dropped and each
// ".." removes the segment before it (none at the root). Links are not
// resolved and the file system is not asked. A trailing "/" of `path` is
// kept. `currentDirectory` is only read when `path` is relative.
QString absoluteForm(const QString& path, const QString& currentDirectory);

// The process's current directory, decoded as file names are. An AppError
// with the system's reason text when it cannot be read (it was removed, or
// a folder above it cannot be searched).
QString currentDirectory();

}  // namespace quillmere
