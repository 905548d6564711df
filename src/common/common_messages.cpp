#include "common/common_messages.h"

namespace quillmere::common_messages {

QString unableToWrite(const QString& path) {
    return QStringLiteral("Unable to write to %1").arg(path);
}

}  // namespace quillmere::common_messages
