#include "imaging/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

bool isExistingFile(const QString& path) {
    if (path.isEmpty()) return false;
    struct stat info {};
    return ::stat(encodePath(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::uint8_t> readWholeFile(const QString& path) {
    const auto fail = [&path](int error) {
        return AppError(imaging_messages::cannotOpenFile(path, systemReason(error)));
    };

    const int fd = ::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw fail(errno);

    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw fail(error);
    }

    if (static_cast<std::uint64_t>(info.st_size) > picture_limits::kMaxFileBytes) {
        ::close(fd);
        throw InvalidPictureError(
            imaging_messages::pictureFileTooLarge(static_cast<unsigned long long>(info.st_size)));
    }

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw fail(error);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

}  // namespace quillmere
