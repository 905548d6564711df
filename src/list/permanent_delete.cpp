#include "list/permanent_delete.h"

#include <unistd.h>

#include "common/path_encoding.h"

namespace quillmere {

bool deletePermanently(const QString& path) {
    // unlink removes files and links and refuses folders.
    return ::unlink(encodePath(path).constData()) == 0;
}

}  // namespace quillmere
