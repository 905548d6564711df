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

QString sourceOutsideBase(const QString& base) {
    return QStringLiteral("Not inside the base folder \"%1\"").arg(base);
}

QString linkLeadsOut(const QString& path) {
    return QStringLiteral("\"%1\" is a link that leads out of the output folder").arg(path);
}

QString cannotMakeFolder(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create folder \"%1\". %2").arg(path, reason);
}

QString confirmSingleConversion(const QString& fileName, const QString& formatItem) {
    return QStringLiteral("Convert [%1] file to %2 format?").arg(fileName, formatItem);
}

}  // namespace quillmere::convert_messages
