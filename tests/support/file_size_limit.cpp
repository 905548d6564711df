#include "support/file_size_limit.h"

#include <gtest/gtest.h>

#include <csignal>

namespace quillmere::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes) : savedHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved_), 0);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &saved_), 0);
    std::signal(SIGXFSZ, savedHandler_);
}

}  // namespace quillmere::test
