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

AccessibleText searchPatternAccessible() {
    return {QStringLiteral("Search pattern"),
            QStringLiteral("The folder and file pattern the list is filled from")};
}
AccessibleText qualityAccessible() {
    return {QStringLiteral("JPEG quality"),
            QStringLiteral("The quality of JPG targets, from 1 to 100")};
}
AccessibleText fileListAccessible() {
    return {QStringLiteral("File list"), QStringLiteral("The picture files to convert")};
}
AccessibleText logAccessible() {
    return {QStringLiteral("Log"), QStringLiteral("What the conversions and deletions did")};
}
AccessibleText previewAccessible() {
    return {QStringLiteral("Preview"), QStringLiteral("The current entry's picture")};
}
AccessibleText previewPictureAccessible() {
    return {QStringLiteral("Preview picture"),
            QStringLiteral("The wheel zooms, dragging pans, the middle button resets the zoom")};
}
AccessibleText statusPanelAccessible(int panel) {
    switch (panel) {
        case 0:
            return {QStringLiteral("Last key code"),
                    QStringLiteral("The code of the last key released in the file list")};
        case 3:
            return {QStringLiteral("Preview size"),
                    QStringLiteral("The preview's width and height, written when a GIF is played")};
        case 4:
            return {QStringLiteral("Picture size"),
                    QStringLiteral("The played GIF's own width and height")};
        default:
            return {QStringLiteral("Unused status panel %1").arg(panel + 1), QString()};
    }
}
QString statusPanelSpokenName(int panel, const QString& shown) {
    const QString name = statusPanelAccessible(panel).name;
    return shown.isEmpty() ? name : name + QStringLiteral(": ") + shown;
}
AccessibleText batchProgressAccessible() {
    return {QStringLiteral("Conversion progress"),
            QStringLiteral("Entries written so far out of all entries of the run")};
}

}  // namespace quillmere::texts
