#include "common/memory_tuning.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace quillmere {

namespace {

constexpr std::size_t kKeptBytes = 512u << 20;
// The heap reserved and kept: at least room for one large picture with its
// encoded file (what one worker holds), at most half of what mallopt's int
// takes, since freed memory is kept up to twice the reserve.
constexpr std::uint64_t kLeastReserve = 448u << 20;
constexpr std::uint64_t kMostReserve = 1023u << 20;
constexpr std::uintptr_t kHugePage = 2u << 20;
constexpr std::size_t kGrowthRequest = 8u << 20;  // more than the heap has spare at start
constexpr std::size_t kDefaultTopPad = 128u << 10;

// Asks for 2 MB pages over the heap from `from` to its end: touching a fresh picture
// buffer then costs one page fault per 2 MB instead of one per 4 KB, which
// on some machines is most of the time a large picture takes.
void adviseHugePages(void* from) {
    const auto start = (reinterpret_cast<std::uintptr_t>(from) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kHugePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

void keepPictureBuffersForReuse(std::uint64_t budget) {
    const auto reserve = static_cast<int>(std::clamp(budget, kLeastReserve, kMostReserve));
    // Picture-sized blocks come from the heap and stay there when freed, so
    // the next picture reuses pages already mapped instead of faulting in
    // fresh ones. One arena for every thread: the workers' pictures reuse
    // the same pages too, where each thread's own arena would hand its
    // freed heaps back to the system.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kKeptBytes));
    // The heap's free top is handed back only beyond twice the reserve:
    // handing it back always goes down to a bare minimum, and the next
    // picture would fault all of it in again.
    mallopt(M_TRIM_THRESHOLD, 2 * reserve);
    mallopt(M_ARENA_MAX, 1);

    // Grow the heap once, now, by enough address space for several
    // pictures (nothing is touched, so nothing is used yet), and advise it.
    void* const growth = sbrk(0);
    mallopt(M_TOP_PAD, reserve);
    void* volatile request = std::malloc(kGrowthRequest);  // kept: the compiler may not drop it
    std::free(request);
    mallopt(M_TOP_PAD, static_cast<int>(kDefaultTopPad));
    adviseHugePages(growth);
}

}  // namespace quillmere
