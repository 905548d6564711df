#include "common/memory_tuning.h"

#include <malloc.h>

namespace quillmere {

void keepPictureBuffersForReuse() {
    constexpr int kLimit = 512 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLimit);
    mallopt(M_TRIM_THRESHOLD, kLimit);
}

}  // namespace quillmere
