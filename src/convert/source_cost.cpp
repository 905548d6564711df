#include "convert/source_cost.h"

#include <sys/stat.h>

#include "common/path_encoding.h"

namespace quillmere {

std::uint64_t entryCostOf(const QString& source, const QString& formatItem) {
    (void)formatItem;
    struct stat info {};
    if (::stat(encodePath(source).constData(), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace quillmere
