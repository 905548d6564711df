#include "list/absolute_path.h"

#include <unistd.h>

#include <QList>
#include <QStringView>
#include <cerrno>
#include <vector>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"

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

QString currentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) throw AppError(systemReason(errno));
        buffer.resize(buffer.size() * 2);
    }
    return decodePath(buffer.data());
}

}  // namespace quillmere
