#pragma once

#include <cstdint>

namespace quillmere {

// Keeps freed picture-sized buffers in the process for the next picture.
// By default the C library hands every block over 32 MB back to the system
// when it is freed, so each new 12-megapixel bitmap is fresh memory whose
// first touch costs a page fault every 4 KiB, often more than decoding it.
// The heap is reserved and kept for as many bytes as the run's memory
// budget lets pictures hold at once (within bounds), so that several
// workers' pictures reuse the same pages too. Called once at the start of
// each program's run, before any picture is decoded.
void keepPictureBuffersForReuse(std::uint64_t budget);

}  // namespace quillmere
