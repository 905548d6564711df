#include "common/path_text.h"

namespace quillmere {

QString fileNamePart(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString directoryOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
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
