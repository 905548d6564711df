#include "convert/cgroup_limits.h"

#include <gtest/gtest.h>

#include <QDir>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "support/sandbox.h"

namespace quillmere {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;

// mountinfo lines as the kernel writes them.
const QByteArray kRootMount = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
const QByteArray kUnifiedMount =
    "30 23 0:26 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:4 - cgroup2 cgroup2 "
    "rw,nsdelegate,memory_recursiveprot\n";
const QByteArray kHybridUnifiedMount =
    "29 25 0:26 / /sys/fs/cgroup/unified rw,nosuid,nodev,noexec,relatime shared:5 - cgroup2 "
    "cgroup2 rw,nsdelegate\n";
const QByteArray kMemoryMount =
    "35 25 0:30 / /sys/fs/cgroup/memory rw,nosuid,nodev,noexec,relatime shared:13 - cgroup "
    "cgroup rw,memory\n";
const QByteArray kCpuMount =
    "33 25 0:28 / /sys/fs/cgroup/cpu,cpuacct rw,nosuid,nodev,noexec,relatime shared:11 - cgroup "
    "cgroup rw,cpu,cpuacct\n";

using Files = std::vector<std::pair<QString, QByteArray>>;

struct CgroupCase {
    std::string name;
    Files files;
    std::optional<std::uint64_t> limit;
    std::optional<std::uint64_t> room;
    std::optional<double> cpus;
};

void PrintTo(const CgroupCase& c, std::ostream* out) {
    *out << c.name;
}

Files v2(const QByteArray& cgroup, Files cgroupFiles) {
    cgroupFiles.insert(cgroupFiles.begin(), {{"proc/self/cgroup", "0::" + cgroup + "\n"},
                                             {"proc/self/mountinfo", kRootMount + kUnifiedMount}});
    return cgroupFiles;
}

Files v1(const QByteArray& cgroup, Files cgroupFiles) {
    cgroupFiles.insert(cgroupFiles.begin(),
                       {{"proc/self/cgroup", "12:pids:" + cgroup + "\n4:memory:" + cgroup +
                                                 "\n3:cpu,cpuacct:" + cgroup +
                                                 "\n1:name=systemd:" + cgroup + "\n"},
                        {"proc/self/mountinfo", kRootMount + kCpuMount + kMemoryMount}});
    return cgroupFiles;
}

const QString kApp = QStringLiteral("sys/fs/cgroup/user.slice/app.scope/");
const QString kSlice = QStringLiteral("sys/fs/cgroup/user.slice/");
const QString kV1Memory = QStringLiteral("sys/fs/cgroup/memory/");
const QString kV1Cpu = QStringLiteral("sys/fs/cgroup/cpu,cpuacct/");

std::vector<CgroupCase> cgroupCases() {
    return {
        {"v2Limits",
         v2("/user.slice/app.scope", {{kApp + "memory.max", "1073741824\n"},
                                      {kApp + "memory.current", "104857600\n"},
                                      {kApp + "cpu.max", "150000 100000\n"}}),
         1024 * kMiB, 924 * kMiB, 1.5},
        {"v2Max",
         v2("/user.slice/app.scope",
            {{kApp + "memory.max", "max\n"}, {kApp + "cpu.max", "max 100000\n"}}),
         std::nullopt, std::nullopt, std::nullopt},
        // The slice's limits are below the scope's and hold for it too.
        {"v2ParentSmaller",
         v2("/user.slice/app.scope", {{kApp + "memory.max", "2147483648\n"},
                                      {kApp + "memory.current", "52428800\n"},
                                      {kApp + "cpu.max", "400000 100000\n"},
                                      {kSlice + "memory.max", "536870912\n"},
                                      {kSlice + "memory.current", "104857600\n"},
                                      {kSlice + "cpu.max", "50000 100000\n"}}),
         512 * kMiB, 412 * kMiB, 0.5},
        // The room is the least left at any level, here under the scope's
        // own limit although the slice's is smaller.
        {"v2RoomLeastAtChild",
         v2("/user.slice/app.scope", {{kApp + "memory.max", "805306368\n"},
                                      {kApp + "memory.current", "734003200\n"},
                                      {kSlice + "memory.max", "536870912\n"},
                                      {kSlice + "memory.current", "0\n"}}),
         512 * kMiB, 68 * kMiB, std::nullopt},
        // A container sees a path that is not under its mount: the nearest
        // folder that exists is read, and those above it.
        {"v2PathMissing",
         v2("/system.slice/docker-4f2a.scope",
            {{"sys/fs/cgroup/system.slice/memory.max", "3221225472\n"},
             {"sys/fs/cgroup/system.slice/cpu.max", "300000 100000\n"}}),
         3072 * kMiB, 3072 * kMiB, 3.0},
        // A cgroup namespace shows "/": the mount's root is the cgroup.
        {"v2Namespace",
         v2("/", {{"sys/fs/cgroup/memory.max", "268435456\n"},
                  {"sys/fs/cgroup/cpu.max", "200000 100000\n"}}),
         256 * kMiB, 256 * kMiB, 2.0},
        {"v2OutsideNamespace", v2("/../../user.slice", {{"sys/fs/cgroup/memory.max", "1048576\n"}}),
         1 * kMiB, 1 * kMiB, std::nullopt},
        {"v2UsageAboveLimit",
         v2("/", {{"sys/fs/cgroup/memory.max", "1048576\n"},
                  {"sys/fs/cgroup/memory.current", "2097152\n"}}),
         1 * kMiB, 0, std::nullopt},
        {"v1Limits",
         v1("/user/1000", {{kV1Memory + "user/1000/memory.limit_in_bytes", "536870912\n"},
                           {kV1Memory + "user/1000/memory.usage_in_bytes", "1048576\n"},
                           {kV1Memory + "user/memory.limit_in_bytes", "9223372036854771712\n"},
                           {kV1Cpu + "user/1000/cpu.cfs_quota_us", "-1\n"},
                           {kV1Cpu + "user/1000/cpu.cfs_period_us", "100000\n"},
                           {kV1Cpu + "user/cpu.cfs_quota_us", "250000\n"},
                           {kV1Cpu + "user/cpu.cfs_period_us", "100000\n"}}),
         512 * kMiB, 511 * kMiB, 2.5},
        {"v1NoLimit",
         v1("/", {{kV1Memory + "memory.limit_in_bytes", "9223372036854771712\n"},
                  {kV1Cpu + "cpu.cfs_quota_us", "-1\n"},
                  {kV1Cpu + "cpu.cfs_period_us", "100000\n"}}),
         std::nullopt, std::nullopt, std::nullopt},
        // Docker without a cgroup namespace bind-mounts the container's
        // cgroup: the mount's root is the process's cgroup.
        {"v1BindMountedCgroup",
         {{"proc/self/cgroup", "9:memory:/docker/4f2a\n"},
          {"proc/self/mountinfo",
           kRootMount + "500 490 0:30 /docker/4f2a /sys/fs/cgroup/memory ro,nosuid - cgroup "
                        "cgroup rw,memory\n"},
          {kV1Memory + "memory.limit_in_bytes", "268435456\n"}},
         256 * kMiB,
         256 * kMiB,
         std::nullopt},
        // mountinfo writes a space in a path as \040.
        {"v1EscapedMountPoint",
         {{"proc/self/cgroup", "4:memory:/\n"},
          {"proc/self/mountinfo",
           kRootMount + "35 25 0:30 / /sys/fs/cgroup/my\\040memory rw - cgroup cgroup rw,memory\n"},
          {"sys/fs/cgroup/my memory/memory.limit_in_bytes", "2097152\n"}},
         2 * kMiB,
         2 * kMiB,
         std::nullopt},
        // Hybrid: the v1 memory controller is read, not the cgroup2 mount
        // beside it.
        {"hybrid",
         {{"proc/self/cgroup", "4:memory:/user.slice\n0::/user.slice\n"},
          {"proc/self/mountinfo", kRootMount + kMemoryMount + kHybridUnifiedMount},
          {kV1Memory + "user.slice/memory.limit_in_bytes", "134217728\n"},
          {"sys/fs/cgroup/unified/user.slice/memory.max", "1048576\n"}},
         128 * kMiB,
         128 * kMiB,
         std::nullopt},
        // A v1 memory cgroup that is not mounted: the unified hierarchy.
        {"v1NotMounted",
         {{"proc/self/cgroup", "4:memory:/user.slice\n0::/user.slice\n"},
          {"proc/self/mountinfo", kRootMount + kUnifiedMount},
          {"sys/fs/cgroup/user.slice/memory.max", "4194304\n"}},
         4 * kMiB,
         4 * kMiB,
         std::nullopt},
        {"noCgroupAtAll", {}, std::nullopt, std::nullopt, std::nullopt},
        {"noCgroupMount",
         {{"proc/self/cgroup", "0::/user.slice\n"}, {"proc/self/mountinfo", kRootMount}},
         std::nullopt,
         std::nullopt,
         std::nullopt},
        {"garbageValues",
         v2("/", {{"sys/fs/cgroup/memory.max", "lots\n"},
                  {"sys/fs/cgroup/memory.current", "??\n"},
                  {"sys/fs/cgroup/cpu.max", "fast 100000\n"}}),
         std::nullopt, std::nullopt, std::nullopt},
        {"garbageNumbers",
         v2("/", {{"sys/fs/cgroup/memory.max", "-5\n"}, {"sys/fs/cgroup/cpu.max", "100000 0\n"}}),
         std::nullopt, std::nullopt, std::nullopt},
        {"garbageProcFiles",
         {{"proc/self/cgroup", QByteArray("\x01\x02::::\n:\n0:", 12)},
          {"proc/self/mountinfo", "- - -\n\n1 2 3 4 - cgroup2\n  -  \n"},
          {"sys/fs/cgroup/memory.max", "1048576\n"}},
         std::nullopt,
         std::nullopt,
         std::nullopt},
    };
}

class CgroupLimits : public ::testing::TestWithParam<CgroupCase> {};

TEST_P(CgroupLimits, ReadFromTheTree) {
    const test::Sandbox sandbox;
    const QString root = sandbox.path(QStringLiteral("root"));
    QDir().mkpath(root + QStringLiteral("/sys/fs/cgroup/memory"));
    QDir().mkpath(root + QStringLiteral("/sys/fs/cgroup/cpu,cpuacct"));
    for (const auto& [name, contents] : GetParam().files) {
        sandbox.write(QStringLiteral("root/") + name, contents);
    }
    const CgroupMemory memory = readCgroupMemory(root);
    EXPECT_EQ(memory.limit, GetParam().limit);
    EXPECT_EQ(memory.room, GetParam().room);
    EXPECT_EQ(readCgroupCpuQuota(root), GetParam().cpus);
}

INSTANTIATE_TEST_SUITE_P(Trees, CgroupLimits, ::testing::ValuesIn(cgroupCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quillmere
