#include "convert/convert_messages.h"

namespace quillmere::convert_messages {

QString targetExists(const QString& outputPath) {
    return QStringLiteral("file already exist: ") + outputPath;
}

QString overwritten() {
    return QStringLiteral(" -->over write ");
}

QString finished() {
    return QStringLiteral("finished!");
}

}  // namespace quillmere::convert_messages
