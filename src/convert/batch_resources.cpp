#include "convert/batch_resources.h"

#include <sched.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace quillmere {

namespace {

int allowedCpuCount() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof(allowed), &allowed) == 0) return CPU_COUNT(&allowed);
    return static_cast<int>(std::thread::hardware_concurrency());
}

}  // namespace

int workerCountFor(int allowedCpus, std::optional<double> cpuQuota) {
    int workers = std::max(1, allowedCpus);
    if (cpuQuota && std::isfinite(*cpuQuota) && *cpuQuota > 0) {
        const double whole = std::ceil(*cpuQuota);
        if (whole < workers) workers = static_cast<int>(whole);
    }
    return std::max(1, workers);
}

std::uint64_t memoryBudgetFor(std::optional<std::uint64_t> memAvailable,
                              const CgroupMemory& cgroup) {
    std::optional<std::uint64_t> usable = memAvailable;
    const std::optional<std::uint64_t> cgroupRoom = cgroup.room ? cgroup.room : cgroup.limit;
    if (cgroupRoom && (!usable || *cgroupRoom < *usable)) usable = cgroupRoom;
    if (!usable) return kUnknownMemoryBudget;
    // Half: the rest is for what the budget does not count. The program
    // itself and its other threads, the page cache that the targets being
    // written fill (which counts against a cgroup's limit until the kernel
    // writes it back), the heap's slack after large blocks are freed, and
    // other programs that start while the batch runs. MemAvailable is an
    // estimate, too.
    return *usable / 2;
}

std::optional<std::uint64_t> readMemAvailable(const QString& root) {
    QFile file(QDir::cleanPath(root + QStringLiteral("/proc/meminfo")));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray text = file.read(1 << 20);
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith("MemAvailable:")) continue;
        const QList<QByteArray> fields = line.mid(13).simplified().split(' ');
        if (fields.size() != 2 || fields[1] != "kB") return std::nullopt;
        bool ok = false;
        const qulonglong kibibytes = fields[0].toULongLong(&ok);
        if (!ok || !std::all_of(fields[0].begin(), fields[0].end(),
                                [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        if (kibibytes > std::numeric_limits<std::uint64_t>::max() / 1024) return std::nullopt;
        return std::uint64_t{kibibytes} * 1024;
    }
    return std::nullopt;
}

int defaultWorkerCount() {
    return defaultWorkerCount(QStringLiteral("/"));
}

int defaultWorkerCount(const QString& root) {
    return workerCountFor(allowedCpuCount(), readCgroupCpuQuota(root));
}

std::uint64_t defaultMemoryBudget() {
    return defaultMemoryBudget(QStringLiteral("/"));
}

std::uint64_t defaultMemoryBudget(const QString& root) {
    return memoryBudgetFor(readMemAvailable(root), readCgroupMemory(root));
}

}  // namespace quillmere
