#include "update/update_target.h"

#include <QFile>

#include "common/files_beside_executable.h"
#include "common/path_encoding.h"
#include "update/download.h"

namespace quillmere {

namespace {

bool isPlainName(const QString& fileName) {
    return !fileName.isEmpty() && !fileName.contains(u'/') && !fileName.contains(QChar(0)) &&
           fileName != u"." && fileName != u"..";
}

}  // namespace

std::optional<QString> updateTarget(const QString& fileName, const QString& executablePath,
                                    const QString& filesFolder) {
    if (!isPlainName(fileName)) return std::nullopt;
    const QString target = filesFolder + fileName;
    if (namesSameFile(target, executablePath)) return std::nullopt;
    // The bytes the download creates (through QFile), against those by
    // which the program meets its own files (QFile, or the byte-exact
    // encoding of the settings file).
    const QByteArray bytes = QFile::encodeName(fileName);
    const QString executableFolder = executablePath.left(executablePath.lastIndexOf(u'/') + 1);
    for (const QString& own : ownFileNames(executablePath)) {
        if (bytes == QFile::encodeName(own) || bytes == encodePath(own) ||
            namesSameFile(target, filesFolder + own) ||
            namesSameFile(target, executableFolder + own)) {
            return std::nullopt;
        }
    }
    return target;
}

}  // namespace quillmere
