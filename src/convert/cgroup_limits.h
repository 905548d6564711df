#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace quillmere {

// The limits the control groups this process runs in put on it, read from
// /proc and the cgroup file systems under `root` (the file system's root;
// tests pass a folder that holds a made-up tree). The process's cgroup is
// taken from proc/self/cgroup and the hierarchy's mount from
// proc/self/mountinfo: cgroup v1's memory or cpu controller where one is
// mounted (hybrid systems mount cgroup2 beside it, without controllers),
// else the cgroup2 hierarchy. A parent's limit holds for its children, so
// every cgroup from the process's own up to the mount's root counts; in a
// container whose cgroup path does not exist under the mount, the walk
// starts from the nearest folder that does. Anything unreadable or
// malformed counts as no limit.

struct CgroupMemory {
    // The smallest memory limit on the way up; empty when none is set.
    std::optional<std::uint64_t> limit;
    // The least room left under those limits: a cgroup's limit less its
    // usage (the limit itself when the usage cannot be read).
    std::optional<std::uint64_t> room;
};

CgroupMemory readCgroupMemory(const QString& root = QStringLiteral("/"));

// The processors the CPU quota allows (cgroup v2's cpu.max, v1's
// cpu.cfs_quota_us over cpu.cfs_period_us), the smallest on the way up;
// 1.5 for 150 ms of every 100 ms. Empty when no quota is set.
std::optional<double> readCgroupCpuQuota(const QString& root = QStringLiteral("/"));

}  // namespace quillmere
