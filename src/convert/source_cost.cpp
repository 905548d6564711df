#include "convert/source_cost.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/path_encoding.h"
#include "common/path_text.h"
#include "convert/entry_cost.h"
#include "convert/output_path.h"
#include "imaging/picture_file.h"
#include "imaging/picture_size_peek.h"

namespace quillmere {

std::uint64_t entryCostOf(const QString& source, const QString& formatItem) {
    const std::optional<GraphicKind> kind = graphicKindForExtension(extensionWithoutDot(source));
    if (!kind) return kCodecAllowanceBytes;
    // Only a regular file is read; opening anything else must not wait.
    const int fd = ::open(encodePath(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return kCodecAllowanceBytes;
    struct stat info {};
    std::optional<PictureSize> size;
    std::uint64_t fileSize = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        fileSize = static_cast<std::uint64_t>(info.st_size);
        const ReadAt read = [fd](std::uint64_t offset, std::span<std::uint8_t> into) {
            std::size_t done = 0;
            while (done < into.size()) {
                const ssize_t got = ::pread(fd, into.data() + done, into.size() - done,
                                            static_cast<off_t>(offset + done));
                if (got < 0 && errno == EINTR) continue;
                if (got <= 0) break;
                done += static_cast<std::size_t>(got);
            }
            return done;
        };
        size = peekPictureSize(*kind, read, fileSize);
    }
    ::close(fd);
    return entryCostBytes(*kind, size, fileSize,
                          encoderForTarget(outputPathFor(source, formatItem)));
}

}  // namespace quillmere
