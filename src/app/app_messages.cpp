#include "app/app_messages.h"

namespace quillmere::app_messages {

QString styleNotFound(const QString& styleName) {
    return QStringLiteral("Style '%1' not found").arg(styleName);
}

QString listIndexOutOfBounds(int index) {
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

QString unsupportedImageFile() {
    return QStringLiteral("Unsupported image file!");
}

QString confirmPermanentDelete() {
    return QStringLiteral("Permanent delete?");
}

QString permanentDeleteLogLine(const QString& path) {
    return QStringLiteral("Permanent delete: ") + path;
}

QString optionIgnored(const QString& option) {
    return QStringLiteral(
               "quillmere: unknown option \"%1\" ignored (a file whose name starts with \"-\" "
               "goes after \"--\")\n")
        .arg(option);
}

QString relativeNameLeftOut(const QString& name, const QString& reason) {
    return QStringLiteral("quillmere: \"%1\" left out: the current folder cannot be read (%2)\n")
        .arg(name, reason);
}

QString questionCaptionWarning() {
    return QStringLiteral("Warning");
}
QString questionCaptionError() {
    return QStringLiteral("Error");
}
QString questionCaptionInformation() {
    return QStringLiteral("Information");
}
QString questionCaptionConfirm() {
    return QStringLiteral("Confirm");
}
QString buttonYes() {
    return QStringLiteral("&Yes");
}
QString buttonNo() {
    return QStringLiteral("&No");
}
QString buttonOk() {
    return QStringLiteral("OK");
}
QString buttonCancel() {
    return QStringLiteral("Cancel");
}
QString buttonClose() {
    return QStringLiteral("Close");
}

QString folderDialogTitle() {
    return QStringLiteral("Select Directory");
}
QString folderDialogAccept() {
    return QStringLiteral("Select");
}

std::vector<std::pair<QString, QString>> pictureFileFilters() {
    return {
        {QStringLiteral("All (*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.ico;*.tif;*.tiff)"),
         QStringLiteral("*.gif *.jpg *.jpeg *.png *.bmp *.ico *.tif *.tiff")},
        {QStringLiteral("GIF Image (*.gif)"), QStringLiteral("*.gif")},
        {QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("*.jpg")},
        {QStringLiteral("JPEG Image File (*.jpeg)"), QStringLiteral("*.jpeg")},
        {QStringLiteral("Portable Network Graphics (*.png)"), QStringLiteral("*.png")},
        {QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("*.bmp")},
        {QStringLiteral("Icons (*.ico)"), QStringLiteral("*.ico")},
        {QStringLiteral("TIFF Images (*.tif)"), QStringLiteral("*.tif")},
        {QStringLiteral("TIFF Images (*.tiff)"), QStringLiteral("*.tiff")},
    };
}

}  // namespace quillmere::app_messages
