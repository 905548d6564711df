#include "common/flush_together.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <unordered_map>

namespace quillmere {

namespace {

// The f_type values of statfs (linux/magic.h).
constexpr long kExt4 = 0xEF53;
constexpr long kXfs = 0x58465342;
constexpr long kBtrfs = 0x9123683E;
constexpr long kF2fs = 0xF2F52010;
constexpr long kTmpfs = 0x01021994;
constexpr long kOverlayfs = 0x794C7630;

int errorOf(int result) {
    return result == 0 ? 0 : errno;
}

}  // namespace

bool flushesWholeFileSystem(long fileSystemType) {
    switch (fileSystemType) {
        case kExt4:
        case kXfs:
        case kBtrfs:
        case kF2fs:
        case kTmpfs:
        case kOverlayfs:
            return true;
        default:
            return false;
    }
}

std::vector<int> flushTogether(std::span<const int> descriptors) {
    std::vector<int> errors(descriptors.size(), 0);
    // The first file seen of each file system that one syncfs flushes, and
    // whether that file system is one.
    struct FileSystem {
        std::size_t first = 0;
        bool whole = false;
    };
    std::unordered_map<std::uint64_t, FileSystem> fileSystems;
    std::vector<std::uint64_t> deviceOf(descriptors.size(), 0);

    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        struct stat info {};
        if (::fstat(descriptors[i], &info) != 0) {
            errors[i] = errno;
            continue;
        }
        deviceOf[i] = info.st_dev;
        auto [found, added] = fileSystems.try_emplace(info.st_dev, FileSystem{i, false});
        if (added) {
            struct statfs about {};
            found->second.whole = ::fstatfs(descriptors[i], &about) == 0 &&
                                  flushesWholeFileSystem(static_cast<long>(about.f_type));
        }
        if (!found->second.whole) errors[i] = errorOf(::fsync(descriptors[i]));
    }

    std::unordered_map<std::uint64_t, int> syncErrors;
    for (const auto& [device, fileSystem] : fileSystems) {
        if (fileSystem.whole) syncErrors[device] = errorOf(::syncfs(descriptors[fileSystem.first]));
    }
    constexpr unsigned kWaitOnly = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WAIT_AFTER;
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        if (errors[i] != 0) continue;
        const auto found = syncErrors.find(deviceOf[i]);
        if (found == syncErrors.end()) continue;
        errors[i] = errorOf(::sync_file_range(descriptors[i], 0, 0, kWaitOnly));
        if (errors[i] == 0) errors[i] = found->second;
    }
    return errors;
}

}  // namespace quillmere
