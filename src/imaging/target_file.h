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
    void commit();

  private:
    [[noreturn]] void fail(int error);

    QString path_;
    QByteArray target_;  // the file actually replaced: a link's destination
    StagedFile staged_;
};

}  // namespace quillmere
