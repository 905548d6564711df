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

QString stopped() {
    return QStringLiteral("stopped!");
}

QString convertOneFile() {
    return QStringLiteral("convert one file ");
}

QString confirmSingleConversion(const QString& fileName, const QString& formatItem) {
    return QStringLiteral("Convert [%1] file to %2 format?").arg(fileName, formatItem);
}

}  // namespace quillmere::convert_messages
