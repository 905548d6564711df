#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// Every text the main window and its dialogs show.
namespace quillmere::app_messages {

QString styleNotFound(const QString& styleName);
QString listIndexOutOfBounds(int index);
QString unsupportedImageFile();
QString confirmPermanentDelete();
QString permanentDeleteLogLine(const QString& path);

// Standard error's lines about command-line arguments that name no file.
QString optionIgnored(const QString& option);
QString relativeNameLeftOut(const QString& name, const QString& reason);

QString questionCaptionWarning();
QString questionCaptionError();
QString questionCaptionInformation();
QString questionCaptionConfirm();
QString buttonYes();
QString buttonNo();
QString buttonOk();
QString buttonCancel();
QString buttonClose();

QString folderDialogTitle();
QString folderDialogAccept();
// The open-picture dialog's type filters, the first selected at start: the
// description shown, and the masks.
std::vector<std::pair<QString, QString>> pictureFileFilters();

}  // namespace quillmere::app_messages
