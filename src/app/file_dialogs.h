#pragma once

#include <QString>

class QFileDialog;

namespace quillmere {

// The open-picture dialog: several existing files, the type filters with
// only their descriptions shown ("All (*.gif;*.jpg;...)" once), masks
// matched without regard to case.
void setUpPictureDialog(QFileDialog& dialog, const QString& initialFolder);

// The folder dialog: folders only, its file-name box preset with the
// default folder's text.
void setUpFolderDialog(QFileDialog& dialog, const QString& defaultFolder);

}  // namespace quillmere
