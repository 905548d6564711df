#include "app/main_window_texts.h"

namespace quillmere::texts {

QString windowCaption() {
    return QStringLiteral("Quillmere");
}
QString filesSelectCaption() {
    return QStringLiteral("Files Select");
}
QString edit1DesignText() {
    return QStringLiteral("Edit1");
}
QString aboutButtonCaption() {
    return QStringLiteral("?");
}
QString folderSelectCaption() {
    return QStringLiteral("Folder Select");
}
QString searchFormatCaption() {
    return QStringLiteral("File_format");
}
QString recursiveCaption() {
    return QStringLiteral("Recursive");
}
QString memoDesignText() {
    return QStringLiteral("Memo1");
}
QString convertCaption() {
    return QStringLiteral("Convert to: ");
}
QString targetFormatCaption() {
    return QStringLiteral("File_format_to");
}
QString qualityLabelCaption() {
    return QStringLiteral("JPG compress rate");
}
QString qualityDesignText() {
    return QStringLiteral("90");
}
QString overwriteCaption() {
    return QStringLiteral("Over Write");
}
QString rateLabelDesignText() {
    return QStringLiteral("Label_rate");
}
QString sizeLabelDesignText() {
    return QStringLiteral("Label_size");
}
QString batchProgressFormat() {
    return QStringLiteral("%v / %m");
}
QString stopCaption() {
    return QStringLiteral("Stop");
}

std::vector<std::pair<QString, QString>> popupMenuItems() {
    return {{QStringLiteral("PopupMenu_delete"), QStringLiteral("Delete (remove for list)")},
            {QStringLiteral("showinExplorer1"), QStringLiteral("Show in Explorer")},
            {QStringLiteral("Permanentdelete1"), QStringLiteral("Permanent delete")}};
}

}  // namespace quillmere::texts
