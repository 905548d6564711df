#include "list/search_pattern.h"

namespace quillmere {

SearchPattern splitSearchPattern(const QString& text) {
    const qsizetype afterSlash = text.lastIndexOf(u'/') + 1;
    return {text.left(afterSlash), text.mid(afterSlash)};
}

bool isScannable(const QString& text) {
    return text.contains(u"*.");
}

QString patternForFormat(const QString& formatItem) {
    return QStringLiteral("*.") + formatItem;
}

}  // namespace quillmere
