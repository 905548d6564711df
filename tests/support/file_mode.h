#pragma once

#include <sys/stat.h>

#include <QFile>
#include <QString>

namespace quillmere::test {

// Sets the permission bits of a file or folder; false when chmod fails.
inline bool setMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

}  // namespace quillmere::test
