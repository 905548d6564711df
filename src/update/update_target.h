#pragma once

#include <QString>
#include <optional>

namespace quillmere {

// Where the update the release index names may be saved: `fileName` in
// `filesFolder` (with its trailing "/"). Nothing when the server's name
// could land anywhere else or replace the program: a name with a "/" or a
// NUL, "." or "..", one of the program's own file names (compared as the
// file system meets them, byte for byte), or a name that already leads, by
// a link, to one of those files or to the executable.
std::optional<QString> updateTarget(const QString& fileName, const QString& executablePath,
                                    const QString& filesFolder);

}  // namespace quillmere
