#include "app/file_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>

#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

QStringList comboItems(const QFileDialog& dialog) {
    QStringList items;
    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (!types) return {QStringLiteral("no type list")};
    for (int i = 0; i < types->count(); ++i) items << types->itemText(i);
    return items;
}

TEST(FileDialogsTest, ThePictureDialogShowsEachFilterByItsDescriptionOnly) {
    test::Sandbox sandbox;
    QFileDialog dialog;
    setUpPictureDialog(dialog, sandbox.path("."));
    EXPECT_EQ(
        comboItems(dialog),
        (QStringList{"All (*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.ico;*.tif;*.tiff)", "GIF Image (*.gif)",
                     "JPEG Image File (*.jpg)", "JPEG Image File (*.jpeg)",
                     "Portable Network Graphics (*.png)", "Bitmaps (*.bmp)", "Icons (*.ico)",
                     "TIFF Images (*.tif)", "TIFF Images (*.tiff)"}));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);

    // The masks still choose the files shown, in any letter case.
    const auto* files = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->nameFilters(), (QStringList{"*.gif", "*.jpg", "*.jpeg", "*.png", "*.bmp",
                                                 "*.ico", "*.tif", "*.tiff"}));
    EXPECT_FALSE(dialog.filter().testFlag(QDir::CaseSensitive));
}

TEST(FileDialogsTest, TheFolderDialogPresetsItsFileNameBoxWithTheFolder) {
    test::Sandbox sandbox;
    const QString folder = sandbox.path(".") + u'/';
    QFileDialog dialog;
    setUpFolderDialog(dialog, folder);
    const auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(fileName->text(), folder);
    EXPECT_EQ(dialog.windowTitle(), "Select Directory");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
}

}  // namespace
}  // namespace quillmere
