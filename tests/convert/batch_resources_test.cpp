#include "convert/batch_resources.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "support/sandbox.h"

namespace quillmere {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;
constexpr std::uint64_t kGiB = kMiB << 10;

struct WorkerCase {
    int cpus;
    std::optional<double> quota;
    int expected;
};

class WorkerCount : public ::testing::TestWithParam<WorkerCase> {};

TEST_P(WorkerCount, AllowedProcessorsUnderTheQuota) {
    EXPECT_EQ(workerCountFor(GetParam().cpus, GetParam().quota), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, WorkerCount,
    ::testing::Values(WorkerCase{8, std::nullopt, 8}, WorkerCase{8, 1.5, 2}, WorkerCase{8, 3.01, 4},
                      WorkerCase{8, 4.0, 4}, WorkerCase{8, 0.2, 1}, WorkerCase{2, 16.0, 2},
                      WorkerCase{0, std::nullopt, 1}, WorkerCase{-3, 2.0, 1},
                      WorkerCase{4, std::nan(""), 4},
                      WorkerCase{4, std::numeric_limits<double>::infinity(), 4}));

struct BudgetCase {
    std::string name;
    std::optional<std::uint64_t> available;
    CgroupMemory cgroup;
    std::uint64_t expected;
};

void PrintTo(const BudgetCase& c, std::ostream* out) {
    *out << c.name;
}

class MemoryBudget : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(MemoryBudget, HalfOfTheSmallerRoom) {
    EXPECT_EQ(memoryBudgetFor(GetParam().available, GetParam().cgroup), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, MemoryBudget,
    ::testing::Values(BudgetCase{"availableOnly", 8 * kGiB, {}, 4 * kGiB},
                      BudgetCase{"cgroupRoomSmaller", 8 * kGiB, {2 * kGiB, 1 * kGiB}, 512 * kMiB},
                      BudgetCase{"availableSmaller", 1 * kGiB, {4 * kGiB, 3 * kGiB}, 512 * kMiB},
                      BudgetCase{"limitWithoutRoom", 8 * kGiB, {2 * kGiB, std::nullopt}, 1 * kGiB},
                      BudgetCase{"cgroupOnly", std::nullopt, {2 * kGiB, 2 * kGiB}, 1 * kGiB},
                      BudgetCase{"noRoomLeft", 8 * kGiB, {2 * kGiB, 0}, 0},
                      BudgetCase{"nothingKnown", std::nullopt, {}, kUnknownMemoryBudget}),
    [](const auto& info) { return info.param.name; });

struct MeminfoCase {
    std::string name;
    QByteArray contents;
    std::optional<std::uint64_t> expected;
};

void PrintTo(const MeminfoCase& c, std::ostream* out) {
    *out << c.name;
}

class MemAvailable : public ::testing::TestWithParam<MeminfoCase> {};

TEST_P(MemAvailable, FromMeminfo) {
    const test::Sandbox sandbox;
    if (!GetParam().contents.isNull()) {
        sandbox.write(QStringLiteral("root/proc/meminfo"), GetParam().contents);
    }
    EXPECT_EQ(readMemAvailable(sandbox.path(QStringLiteral("root"))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MemAvailable,
    ::testing::Values(
        MeminfoCase{"present",
                    "MemTotal:       16318420 kB\nMemFree:         1151392 kB\n"
                    "MemAvailable:    9437184 kB\nBuffers:          433004 kB\n",
                    9437184 * std::uint64_t{1024}},
        MeminfoCase{"missing", "MemTotal:       16318420 kB\nMemFree: 1151392 kB\n", std::nullopt},
        MeminfoCase{"noFile", QByteArray(), std::nullopt},
        MeminfoCase{"garbageNumber", "MemAvailable:    94x7184 kB\n", std::nullopt},
        MeminfoCase{"negative", "MemAvailable:    -4 kB\n", std::nullopt},
        MeminfoCase{"otherUnit", "MemAvailable:    9437184 MB\n", std::nullopt},
        MeminfoCase{"overflow", "MemAvailable: 99999999999999999999 kB\n", std::nullopt}),
    [](const auto& info) { return info.param.name; });

int affinityCount() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    EXPECT_EQ(sched_getaffinity(0, sizeof(allowed), &allowed), 0);
    return CPU_COUNT(&allowed);
}

// A tree of a cgroup2 container: 1 GiB limit with 256 MiB used, a quota of
// half a processor, 8 GiB available on the machine.
QString containerTree(const test::Sandbox& sandbox) {
    sandbox.write(QStringLiteral("root/proc/self/cgroup"), QByteArray("0::/\n"));
    sandbox.write(QStringLiteral("root/proc/self/mountinfo"),
                  QByteArray("30 23 0:26 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"));
    sandbox.write(QStringLiteral("root/sys/fs/cgroup/memory.max"), QByteArray("1073741824\n"));
    sandbox.write(QStringLiteral("root/sys/fs/cgroup/memory.current"), QByteArray("268435456\n"));
    sandbox.write(QStringLiteral("root/sys/fs/cgroup/cpu.max"), QByteArray("50000 100000\n"));
    sandbox.write(QStringLiteral("root/proc/meminfo"), QByteArray("MemAvailable: 8388608 kB\n"));
    return sandbox.path(QStringLiteral("root"));
}

TEST(BatchResourceDefaults, FollowTheContainersLimits) {
    const test::Sandbox sandbox;
    const QString root = containerTree(sandbox);
    EXPECT_EQ(defaultWorkerCount(root), 1);
    EXPECT_EQ(defaultMemoryBudget(root), 384 * kMiB);
}

TEST(BatchResourceDefaults, WithoutLimitsEveryAllowedProcessor) {
    const test::Sandbox sandbox;
    const QString root = sandbox.path(QStringLiteral("empty"));
    EXPECT_EQ(defaultWorkerCount(root), std::max(1, affinityCount()));
    EXPECT_EQ(defaultMemoryBudget(root), kUnknownMemoryBudget);
}

TEST(BatchResourceDefaults, OfThisProcess) {
    EXPECT_GE(defaultWorkerCount(), 1);
    EXPECT_LE(defaultWorkerCount(), std::max(1, affinityCount()));
    EXPECT_GT(defaultMemoryBudget(), 0u);
}

}  // namespace
}  // namespace quillmere
