#include "list/absolute_path.h"

#include <QList>
#include <QStringView>

namespace quillmere {

QString absoluteForm(const QString& path, const QString& currentDirectory) {
    QString joined = path;
    if (!path.startsWith(u'/')) {
        joined = currentDirectory;
        if (!joined.endsWith(u'/')) joined += u'/';
        joined += path;
    }

    QList<QStringView> segments;
    for (QStringView segment : QStringView(joined).split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".") continue;
        if (segment == u"..") {
            if (!segments.isEmpty()) segments.removeLast();
            continue;
        }
        segments.append(segment);
    }

    QString result;
    result.reserve(joined.size() + 1);
    for (QStringView segment : segments) {
        result += u'/';
        result += segment;
    }
    if (result.isEmpty() || path.endsWith(u'/')) result += u'/';
    return result;
}

}  // namespace quillmere
