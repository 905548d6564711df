// Every target's bytes reach the disk before the program goes on, new
// targets as well as replaced ones: after a power cut a target is whole or
// absent, never an empty file under the target's name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/target_file.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// The kernel's account of a file's cached pages (cachestat, Linux 6.5).
struct CacheRange {
    std::uint64_t offset;
    std::uint64_t length;  // 0: to the end
};
struct CacheState {
    std::uint64_t cached;
    std::uint64_t dirty;
    std::uint64_t writeback;
    std::uint64_t evicted;
    std::uint64_t recentlyEvicted;
};
constexpr long kCachestat = 451;

// The pages of the file not yet on the disk, or nothing when the kernel
// cannot tell.
std::optional<std::uint64_t> unwrittenPages(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    CacheRange range{0, 0};
    CacheState state{};
    const long result = ::syscall(kCachestat, fd, &range, &state, 0);
    ::close(fd);
    if (result != 0) return std::nullopt;
    return state.dirty + state.writeback;
}

TEST(TargetDurability, EveryTargetIsOnTheDiskWhenCommitted) {
    const test::Sandbox sandbox;
    const std::vector<std::uint8_t> bytes(1 << 20, 'x');

    // Only a file system whose synced pages the kernel shows as clean (not
    // tmpfs, for one) can tell.
    const QString probe = sandbox.write("probe", bytes);
    {
        QFile file(probe);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_EQ(::fsync(file.handle()), 0);
    }
    const std::optional<std::uint64_t> probed = unwrittenPages(probe);
    if (!probed) GTEST_SKIP() << "the kernel does not tell a file's dirty pages";
    if (*probed != 0) GTEST_SKIP() << "this file system keeps synced pages dirty";

    const QString path = sandbox.path("a.bmp");
    for (const char* what : {"new", "replaced"}) {
        SCOPED_TRACE(what);
        TargetFile target(path);
        target.write(bytes);
        target.commit();
        EXPECT_EQ(unwrittenPages(path), std::optional<std::uint64_t>(0));
    }
}

}  // namespace
}  // namespace quillmere
