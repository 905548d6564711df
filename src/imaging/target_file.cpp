#include "imaging/target_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <utility>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

QByteArray directoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    if (slash == 0) return QByteArrayLiteral("/");
    return path.left(slash);
}

// Creates a new, uniquely named file beside the target; the mode passes
// through the umask as for any new file.
int createTemporary(const QByteArray& target, QByteArray& name, mode_t mode) {
    const QByteArray stem = directoryOf(target) + "/." + target.mid(target.lastIndexOf('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

TargetFile::TargetFile(const QString& path) : path_(path), target_(encodePath(path)) {
    // Writing over a link writes the file it points to, as opening it would;
    // a link that points nowhere is replaced by the file.
    struct stat info {};
    if (::lstat(target_.constData(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target_.constData(), resolved)) target_ = resolved;
    }

    mode_t mode = 0666;
    if (::stat(target_.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) fail(EISDIR);
        if (::access(target_.constData(), W_OK) != 0) fail(errno);
        replacing_ = true;
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        fail(errno);
    }

    QByteArray temporary;
    fd_ = createTemporary(target_, temporary, mode);
    if (fd_ < 0) fail(errno);
    temporary_ = temporary;
    // A replaced file keeps its permissions.
    if (replacing_ && ::fchmod(fd_, mode) != 0) fail(errno);
}

TargetFile::~TargetFile() {
    discard();
}

void TargetFile::write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(wrote);
    }
}

void TargetFile::commit() {
    // When a file is replaced, its new contents reach the disk before the
    // rename does, so a crash leaves the old file or the new one, never an
    // empty one.
    if (replacing_ && ::fsync(fd_) != 0) fail(errno);
    if (::close(std::exchange(fd_, -1)) != 0) fail(errno);
    if (::rename(temporary_.constData(), target_.constData()) != 0) fail(errno);
    temporary_.clear();
}

void TargetFile::fail(int error) {
    discard();
    throw AppError(imaging_messages::cannotCreateFile(path_, systemReason(error)));
}

void TargetFile::discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temporary_.isEmpty()) ::unlink(std::exchange(temporary_, QByteArray()).constData());
}

}  // namespace quillmere
