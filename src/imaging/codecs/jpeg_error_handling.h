#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace quillmere {

// A libjpeg error manager that never ends the process: an error jumps back
// to the setjmp point with libjpeg's message number kept, and warnings are
// not printed.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jumpBack;
    int messageCode = 0;
};

void installJpegErrorManager(JpegErrorManager& manager);

}  // namespace quillmere
