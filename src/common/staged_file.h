#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QByteArrayView>
#include <cstddef>

namespace quillmere {

// The name of the temporary file that stands in for the file `targetName`
// while it is written: the hidden ".NAME.TAG.tmp". When that would be
// longer than `nameMax` bytes, NAME is cut (never inside a UTF-8
// character), so the temporary fits wherever the target's name does.
QByteArray stagedNameFor(QByteArrayView targetName, QByteArrayView tag, long nameMax);

// A file written beside its target under a temporary name and renamed onto
// the target only when complete, so the target is never seen half-written.
// The folder is held open and the names are taken relative to it, so any
// target path the system accepts works. Every step returns 0 or the errno
// value of its failure. Until `moveOntoTarget` succeeds, `discard` and the
// destructor remove the temporary file.
class StagedFile {
  public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file beside the file at `target` with `mode`
    // (less the umask, as for any new file).
    int create(const QByteArray& target, mode_t mode);
    int setMode(mode_t mode);
    int write(const char* data, std::size_t size);
    // Flushes the written bytes to the disk.
    int sync();
    // The open temporary file, while there is one; see flushTogether.
    int descriptor() const { return fd_; }
    int moveOntoTarget();
    void discard();

  private:
    int folder_ = -1;
    int fd_ = -1;
    QByteArray targetName_;
    QByteArray name_;
};

}  // namespace quillmere
