#include "imaging/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    const int fd;
};

}  // namespace

bool isExistingFile(const QString& path) {
    if (path.isEmpty()) return false;
    struct stat info {};
    return ::stat(encodePath(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::uint8_t> readWholeFile(const QString& path) {
    const auto fail = [&path](const QString& reason) {
        return AppError(imaging_messages::cannotOpenFile(path, reason));
    };
    const auto failWith = [&fail](int error) { return fail(systemReason(error)); };

    // Opening a pipe without O_NONBLOCK would wait for a writer; nothing but
    // a regular file is read, so the flag only matters until it is refused.
    const Descriptor file(::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.fd < 0) throw failWith(errno);

    struct stat info {};
    if (::fstat(file.fd, &info) != 0) throw failWith(errno);
    if (S_ISDIR(info.st_mode)) throw failWith(EISDIR);
    if (!S_ISREG(info.st_mode)) throw fail(imaging_messages::notARegularFile());
    const int flags = ::fcntl(file.fd, F_GETFL);
    if (flags < 0 || ::fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK) != 0) throw failWith(errno);

    if (static_cast<std::uint64_t>(info.st_size) > picture_limits::kMaxFileBytes) {
        throw InvalidPictureError(
            imaging_messages::pictureFileTooLarge(static_cast<unsigned long long>(info.st_size)));
    }

    // A file cut short while it is read gives what it still holds.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw failWith(errno);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace quillmere
