#include "common/staged_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <utility>

namespace quillmere {

namespace {

constexpr int kAttempts = 100;

// A random number for a file name, from the kernel: Qt's global generator
// costs more to start than a small conversion takes to write its file.
// Names made in the same process differ even without one.
quint64 randomTag() {
    static std::atomic<quint64> made{0};
    quint64 value = 0;
    while (::getrandom(&value, sizeof value, 0) < 0 && errno == EINTR) {
    }
    return value ^ (++made * 0x9E3779B97F4A7C15u);
}

// The longest file name the folder takes; NAME_MAX when it does not say.
long longestName(int folder) {
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    return limit > 0 ? limit : NAME_MAX;
}

bool isUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

int lastError(int result) {
    return result == 0 ? 0 : errno;
}

}  // namespace

QByteArray stagedNameFor(QByteArrayView targetName, QByteArrayView tag, long nameMax) {
    // '.' + NAME + '.' + TAG + ".tmp"
    const qsizetype room = nameMax - 6 - tag.size();
    qsizetype keep = std::min(targetName.size(), std::max<qsizetype>(room, 0));
    if (keep < targetName.size()) {
        // A UTF-8 character is at most four bytes: three steps back reach its start.
        for (int step = 0; step < 3 && keep > 0 && isUtf8Continuation(targetName[keep]); ++step)
            --keep;
    }
    QByteArray name;
    name.reserve(keep + tag.size() + 6);
    name.append('.').append(targetName.first(keep)).append('.').append(tag).append(".tmp");
    return name;
}

StagedFile::~StagedFile() {
    discard();
    if (folder_ >= 0) ::close(std::exchange(folder_, -1));
}

int StagedFile::create(const QByteArray& target, mode_t mode) {
    discard();
    if (folder_ >= 0) ::close(std::exchange(folder_, -1));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArrayLiteral(".")
                              : slash == 0 ? QByteArrayLiteral("/")
                                           : target.left(slash);
    targetName_ = target.mid(slash + 1);
    folder_ = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) return errno;

    const long nameMax = longestName(folder_);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray tag = QByteArray::number(randomTag(), 36);
        QByteArray name = stagedNameFor(targetName_, tag, nameMax);
        fd_ = ::openat(folder_, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            name_ = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int StagedFile::setMode(mode_t mode) {
    return lastError(::fchmod(fd_, mode));
}

int StagedFile::write(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd_, data + done, size - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

int StagedFile::sync() {
    return lastError(::fsync(fd_));
}

int StagedFile::moveOntoTarget() {
    if (const int error = lastError(::close(std::exchange(fd_, -1)))) return error;
    if (const int error =
            lastError(::renameat(folder_, name_.constData(), folder_, targetName_.constData())))
        return error;
    name_.clear();
    return 0;
}

void StagedFile::discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!name_.isEmpty()) ::unlinkat(folder_, std::exchange(name_, QByteArray()).constData(), 0);
}

}  // namespace quillmere
