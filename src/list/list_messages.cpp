#include "list/list_messages.h"

namespace quillmere::list_messages {

namespace {

QString withPathLine(const QString& message, const QString& path) {
    return message + QStringLiteral("\r\n[") + path + u']';
}

}  // namespace

QString pathIsEmpty() {
    return QStringLiteral("Path is empty");
}

QString searchPatternIsEmpty() {
    return QStringLiteral("Search pattern is empty");
}

QString invalidCharactersInSearchPattern(const QString& pattern) {
    return withPathLine(QStringLiteral("Invalid characters in search pattern"), pattern);
}

QString invalidCharactersInPath(const QString& absolutePath) {
    return withPathLine(QStringLiteral("Invalid characters in path"), absolutePath);
}

QString pathNotFound(const QString& absolutePath) {
    return withPathLine(QStringLiteral("The specified path was not found"), absolutePath);
}

QString invalidMask(const QString& mask, int position) {
    return QStringLiteral("'%1' is an invalid mask at (%2)").arg(mask, QString::number(position));
}

}  // namespace quillmere::list_messages
