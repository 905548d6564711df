#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "convert/cgroup_limits.h"

namespace quillmere {

// What a batch run may use when the user sets nothing: worker threads and
// a memory budget, the bytes its entries may hold at once. The versions
// taking `root` read /proc and the cgroup file systems under that folder
// instead of "/" (see cgroup_limits.h), for tests.

// The number of worker threads that keeps every allowed processor busy:
// those in this process's affinity mask (which `taskset` or a container
// can make fewer than the machine has), no more than the cgroup's CPU
// quota rounded up, at least 1.
int defaultWorkerCount();
int defaultWorkerCount(const QString& root);

// Half the memory this process can take without making the system or its
// cgroup reclaim: the smaller of MemAvailable and the room left under the
// cgroup's limit.
std::uint64_t defaultMemoryBudget();
std::uint64_t defaultMemoryBudget(const QString& root);

// The kernel's estimate of the memory available for new work without
// swapping (MemAvailable in proc/meminfo), in bytes.
std::optional<std::uint64_t> readMemAvailable(const QString& root = QStringLiteral("/"));

// The rules above, from the readings.
int workerCountFor(int allowedCpus, std::optional<double> cpuQuota);
std::uint64_t memoryBudgetFor(std::optional<std::uint64_t> memAvailable,
                              const CgroupMemory& cgroup);

// The budget when neither reading is there (no /proc, say): what even a
// small machine can spare.
inline constexpr std::uint64_t kUnknownMemoryBudget = std::uint64_t{512} << 20;

}  // namespace quillmere
