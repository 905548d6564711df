#include "common/path_text.h"

namespace quillmere {

QString fileNamePart(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

qsizetype extensionDotIndex(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(u'/') ? dot : -1;
}

QString extensionWithoutDot(const QString& path) {
    const qsizetype dot = extensionDotIndex(path);
    return dot < 0 ? QString() : path.mid(dot + 1);
}

}  // namespace quillmere
