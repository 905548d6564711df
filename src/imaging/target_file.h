#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <span>

#include "common/staged_file.h"

namespace quillmere {

// A picture file being written: the bytes go to a temporary file beside the
// target, which `commit` flushes to the disk and only then renames onto the
// target. Until then, and when anything fails, the file that was at the
// target stays as it was and the temporary file is removed.
// Opening fails with "Cannot create file" when the target could not be
// created or replaced.
class TargetFile {
  public:
    explicit TargetFile(const QString& path);
    ~TargetFile();
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    // Flushes the file to the disk and renames it onto the target.
    void commit();

    // The same in two steps, for files flushed together (see
    // flushTogether): the file to flush, and the rename once it is flushed.
    int descriptor() const { return staged_.descriptor(); }
    void moveIntoPlace();
    // Ends as a failure of this target would, with `error`.
    [[noreturn]] void fail(int error);

  private:
    QString path_;
    QByteArray target_;  // the file actually replaced: a link's destination
    StagedFile staged_;
};

}  // namespace quillmere
