#include "app/file_dialogs.h"

#include <QFileDialog>
#include <QLineEdit>

#include "app/app_messages.h"

namespace quillmere {

void setUpPictureDialog(QFileDialog& dialog, const QString& initialFolder) {
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // Each filter is its description followed by its masks in parentheses;
    // the dialog shows the description alone.
    QStringList filters;
    for (const auto& [description, masks] : app_messages::pictureFileFilters()) {
        filters << description + QStringLiteral(" (") + masks + u')';
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
    dialog.setDirectory(initialFolder);
    dialog.setSizeGripEnabled(true);
    // Masks match file names without regard to case.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
}

void setUpFolderDialog(QFileDialog& dialog, const QString& defaultFolder) {
    dialog.setWindowTitle(app_messages::folderDialogTitle());
    dialog.setDirectory(defaultFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setLabelText(QFileDialog::Accept, app_messages::folderDialogAccept());
    if (auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        fileName->setText(defaultFolder);
    }
}

}  // namespace quillmere
