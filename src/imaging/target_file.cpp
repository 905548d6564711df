#include "imaging/target_file.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

TargetFile::TargetFile(const QString& path) : path_(path), target_(encodePath(path)) {
    // Writing over a link writes the file it points to, as opening it would;
    // a link that points nowhere is replaced by the file.
    struct stat info {};
    int found = ::lstat(target_.constData(), &info);
    if (found == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target_.constData(), resolved)) target_ = resolved;
        found = ::stat(target_.constData(), &info);
    }

    mode_t mode = 0666;
    bool replacing = false;
    if (found == 0) {
        if (S_ISDIR(info.st_mode)) fail(EISDIR);
        if (::access(target_.constData(), W_OK) != 0) fail(errno);
        replacing = true;
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        fail(errno);
    }

    if (const int error = staged_.create(target_, mode)) fail(error);
    // A replaced file keeps its permissions.
    if (replacing) {
        if (const int error = staged_.setMode(mode)) fail(error);
    }
}

TargetFile::~TargetFile() = default;

void TargetFile::write(std::span<const std::uint8_t> bytes) {
    if (const int error = staged_.write(reinterpret_cast<const char*>(bytes.data()), bytes.size()))
        fail(error);
}

void TargetFile::commit() {
    // The contents reach the disk before the name does, so a crash or a
    // power cut leaves the old file (or none) or the new one, never an
    // empty or partial one under the target's name: file systems that
    // delay writing data (ext4, XFS) commit a rename within seconds but
    // the data only later. An empty new target would be worse than none,
    // since a run that keeps existing targets would keep it. Errors that
    // only writing to the disk shows are reported here, for this target.
    if (const int error = staged_.sync()) fail(error);
    if (const int error = staged_.moveOntoTarget()) fail(error);
}

void TargetFile::moveIntoPlace() {
    if (const int error = staged_.moveOntoTarget()) fail(error);
}

void TargetFile::fail(int error) {
    staged_.discard();
    throw AppError(imaging_messages::cannotCreateFile(path_, systemReason(error)));
}

}  // namespace quillmere
