#include "convert/cgroup_limits.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

#include "common/path_encoding.h"

namespace quillmere {

namespace {

// /proc files report no size; no file read here is anywhere near this.
constexpr qint64 kMaxFileBytes = 1 << 20;
// cgroup v1 writes "no limit" as the largest page-aligned 64-bit value
// (9223372036854771712 with 4 KiB pages); anything from 2^62 on is taken
// as that, as no machine has such memory.
constexpr std::uint64_t kV1NoLimit = std::uint64_t{1} << 62;

QString under(const QString& root, const QString& path) {
    return QDir::cleanPath(root + u'/' + path);
}

// Read in small pieces: asked for its largest size at once, a /proc file
// costs a buffer of that size every time.
std::optional<QByteArray> readSmallFile(const QString& path) {
    const int fd = ::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    QByteArray bytes;
    char piece[4096];
    while (bytes.size() < kMaxFileBytes) {
        const ssize_t got = ::read(fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(piece, got);
    }
    ::close(fd);
    bytes.truncate(kMaxFileBytes);
    return bytes;
}

std::optional<std::uint64_t> parseUnsigned(const QByteArray& text) {
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty() ||
        !std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong value = trimmed.toULongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

// mountinfo escapes space, tab, newline and backslash as three octal digits.
QString unescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code > 0 && code < 256) {
                out.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

struct Membership {
    QByteArray controllers;  // "memory", "cpu,cpuacct"; empty for cgroup2
    QString path;
};

struct Mount {
    QString root;  // the folder of the hierarchy mounted there
    QString point;
};

enum class Version { V1, V2 };

// The process's cgroup in the hierarchy that has the controller (v1) or in
// the unified one (v2).
std::optional<QString> cgroupPath(const QByteArray& cgroupFile, Version version,
                                  const QByteArray& controller) {
    for (const QByteArray& line : cgroupFile.split('\n')) {
        const qsizetype first = line.indexOf(':');
        const qsizetype second = first < 0 ? -1 : line.indexOf(':', first + 1);
        if (second < 0) continue;
        const QByteArray id = line.left(first);
        const QByteArray controllers = line.mid(first + 1, second - first - 1);
        const QByteArray path = line.mid(second + 1);
        if (!path.startsWith('/')) continue;
        const bool matches = version == Version::V2 ? id == "0" && controllers.isEmpty()
                                                    : controllers.split(',').contains(controller);
        if (matches) return QString::fromUtf8(path);
    }
    return std::nullopt;
}

// Where that hierarchy is mounted: the mount of type cgroup2, or of type
// cgroup whose options name the controller. Among several, one whose root
// holds the process's cgroup.
std::optional<Mount> hierarchyMount(const QByteArray& mountInfo, Version version,
                                    const QByteArray& controller, const QString& cgroup) {
    std::optional<Mount> found;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (separator < 6 || fields.size() < separator + 4) continue;
        const QByteArray& type = fields[separator + 1];
        const bool matches =
            version == Version::V2
                ? type == "cgroup2"
                : type == "cgroup" && fields[separator + 3].split(',').contains(controller);
        if (!matches) continue;
        const Mount mount{unescapeMountField(fields[3]), unescapeMountField(fields[4])};
        if (!mount.point.startsWith(u'/') || !mount.root.startsWith(u'/')) continue;
        const bool holdsCgroup =
            mount.root == u"/" || cgroup == mount.root || cgroup.startsWith(mount.root + u'/');
        if (!found || holdsCgroup) found = mount;
        if (holdsCgroup) break;
    }
    return found;
}

// The folders from the process's cgroup (or the nearest one that exists)
// up to the mount point, the cgroup's own first.
std::vector<QString> cgroupFolders(const QString& root, const Mount& mount, const QString& cgroup) {
    QString relative = cgroup;
    if (mount.root != u"/" && (cgroup == mount.root || cgroup.startsWith(mount.root + u'/'))) {
        relative = cgroup.mid(mount.root.size());
    }
    relative = QDir::cleanPath(u'/' + relative);
    // A cgroup outside this namespace's view shows as "/../..."; nothing of
    // it is under the mount.
    if (relative.startsWith(u"/..")) relative = QStringLiteral("/");

    const QString base = under(root, mount.point);
    QString folder = QDir::cleanPath(base + relative);
    while (folder.size() > base.size() && !QFileInfo(folder).isDir()) {
        folder = QFileInfo(folder).path();
    }
    std::vector<QString> folders;
    if (!QFileInfo(base).isDir()) return folders;
    while (true) {
        folders.push_back(folder);
        if (folder.size() <= base.size()) break;
        folder = QFileInfo(folder).path();
    }
    return folders;
}

struct Hierarchy {
    Version version;
    std::vector<QString> folders;
};

// The hierarchy to read for a v1 controller: its own mount when there is
// one, else the unified hierarchy.
std::optional<Hierarchy> findHierarchy(const QString& root, const QByteArray& controller) {
    const std::optional<QByteArray> cgroupFile =
        readSmallFile(under(root, QStringLiteral("proc/self/cgroup")));
    const std::optional<QByteArray> mountInfo =
        readSmallFile(under(root, QStringLiteral("proc/self/mountinfo")));
    if (!cgroupFile || !mountInfo) return std::nullopt;
    for (const Version version : {Version::V1, Version::V2}) {
        const std::optional<QString> cgroup = cgroupPath(*cgroupFile, version, controller);
        if (!cgroup) continue;
        const std::optional<Mount> mount = hierarchyMount(*mountInfo, version, controller, *cgroup);
        if (!mount) continue;
        return Hierarchy{version, cgroupFolders(root, *mount, *cgroup)};
    }
    return std::nullopt;
}

std::optional<std::uint64_t> readMemoryLimit(const QString& folder, Version version) {
    if (version == Version::V2) {
        const std::optional<QByteArray> text =
            readSmallFile(folder + QStringLiteral("/memory.max"));
        return text ? parseUnsigned(*text) : std::nullopt;  // "max" reads as none
    }
    const std::optional<QByteArray> text =
        readSmallFile(folder + QStringLiteral("/memory.limit_in_bytes"));
    const std::optional<std::uint64_t> limit = text ? parseUnsigned(*text) : std::nullopt;
    if (limit && *limit >= kV1NoLimit) return std::nullopt;
    return limit;
}

std::optional<std::uint64_t> readMemoryUsage(const QString& folder, Version version) {
    const QString name = version == Version::V2 ? QStringLiteral("/memory.current")
                                                : QStringLiteral("/memory.usage_in_bytes");
    const std::optional<QByteArray> text = readSmallFile(folder + name);
    return text ? parseUnsigned(*text) : std::nullopt;
}

std::optional<double> quotaOf(std::optional<std::uint64_t> quota,
                              std::optional<std::uint64_t> period) {
    if (!quota || !period || *quota == 0 || *period == 0) return std::nullopt;
    return static_cast<double>(*quota) / static_cast<double>(*period);
}

std::optional<double> readCpuQuota(const QString& folder, Version version) {
    if (version == Version::V2) {
        const std::optional<QByteArray> text = readSmallFile(folder + QStringLiteral("/cpu.max"));
        if (!text) return std::nullopt;
        const QList<QByteArray> fields = text->simplified().split(' ');
        // "max 100000" or "150000 100000"; the period may be left out.
        const std::optional<std::uint64_t> period =
            fields.size() >= 2 ? parseUnsigned(fields[1]) : std::optional<std::uint64_t>(100000);
        return fields.size() <= 2 ? quotaOf(parseUnsigned(fields[0]), period) : std::nullopt;
    }
    // v1 writes -1 for no quota, which reads as no number here.
    const std::optional<QByteArray> quota =
        readSmallFile(folder + QStringLiteral("/cpu.cfs_quota_us"));
    const std::optional<QByteArray> period =
        readSmallFile(folder + QStringLiteral("/cpu.cfs_period_us"));
    if (!quota || !period) return std::nullopt;
    return quotaOf(parseUnsigned(*quota), parseUnsigned(*period));
}

template <typename T>
void keepSmaller(std::optional<T>& smallest, std::optional<T> value) {
    if (value && (!smallest || *value < *smallest)) smallest = value;
}

}  // namespace

CgroupMemory readCgroupMemory(const QString& root) {
    CgroupMemory memory;
    const std::optional<Hierarchy> hierarchy = findHierarchy(root, "memory");
    if (!hierarchy) return memory;
    for (const QString& folder : hierarchy->folders) {
        const std::optional<std::uint64_t> limit = readMemoryLimit(folder, hierarchy->version);
        if (!limit) continue;
        keepSmaller(memory.limit, limit);
        const std::optional<std::uint64_t> usage = readMemoryUsage(folder, hierarchy->version);
        keepSmaller(memory.room, std::optional<std::uint64_t>(
                                     usage ? *limit - std::min(*usage, *limit) : *limit));
    }
    return memory;
}

std::optional<double> readCgroupCpuQuota(const QString& root) {
    std::optional<double> quota;
    const std::optional<Hierarchy> hierarchy = findHierarchy(root, "cpu");
    if (!hierarchy) return quota;
    for (const QString& folder : hierarchy->folders) {
        keepSmaller(quota, readCpuQuota(folder, hierarchy->version));
    }
    return quota;
}

}  // namespace quillmere
