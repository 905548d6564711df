#include "update/update_messages.h"

namespace quillmere::update_messages {

QString newerRelease(const QString& status) {
    return QStringLiteral("Newer ") + status;
}

QString upToDate(const QString& releaseVersion) {
    return QStringLiteral("version up-to-date (") + releaseVersion + u')';
}

QString olderRelease(const QString& status) {
    return QStringLiteral("Older ") + status;
}

QString indexNotAnObject() {
    return QStringLiteral("The release index is not a JSON object");
}

QString indexLacksMember(const QString& name) {
    return QStringLiteral("The release index has no member \"%1\"").arg(name);
}

}  // namespace quillmere::update_messages
