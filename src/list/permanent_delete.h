#pragma once

#include <QString>

namespace quillmere {

// Removes the file at the path for good (no trash). A link, to a file or a
// folder, is removed itself, never what it points to; a real folder is not
// deleted. Failures are silent: the result only says whether it went.
bool deletePermanently(const QString& path);

}  // namespace quillmere
