#pragma once

namespace quillmere {

// Keeps freed picture-sized buffers in the process for the next picture.
// By default the C library hands every block over 32 MB back to the system
// when it is freed, so each new 12-megapixel bitmap is fresh memory whose
// first touch costs a page fault every 4 KiB, often more than decoding it.
// Called once at the start of each program.
void keepPictureBuffersForReuse();

}  // namespace quillmere
