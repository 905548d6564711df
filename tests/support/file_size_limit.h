#pragma once

#include <sys/resource.h>

namespace quillmere::test {

// While it lives, no file this process writes may grow beyond `bytes`: a
// write past that fails with EFBIG, as on a file system that refuses the
// size, instead of ending the process with SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

}  // namespace quillmere::test
