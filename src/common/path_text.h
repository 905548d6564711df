#pragma once

#include <QString>

namespace quillmere {

// The file-name part of a path: the text after its last "/".
QString fileNamePart(const QString& path);

// The folder part of a path: the text before its last "/" ("/" for a file
// in the root, "." when there is no "/").
QString directoryOf(const QString& path);

// Where the file name's extension starts in `path` (the index of its last
// "."), or -1 when the file name has no dot.
qsizetype extensionDotIndex(const QString& path);

// The extension as written, without its dot; empty when there is none.
QString extensionWithoutDot(const QString& path);

}  // namespace quillmere
