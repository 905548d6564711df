// The remembered settings: read at start, written at close.
#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>

#include "app/application_title.h"
#include "app/main_window.h"
#include "app/outer_placement.h"
#include "common/ini_file.h"
#include "list/search_pattern.h"

namespace quillmere {

namespace {

const QString kFile = QStringLiteral("File");
const QString kUser = QStringLiteral("User");
const QString kPlacement = QStringLiteral("Placement");

}  // namespace

void TForm_Main::loadSettings() {
    const IniFile settings(settingsPath_);
    Edit1->setText(settings.readString(kFile, QStringLiteral("Last"), Edit1->text()));
    // Not a click: the list is not rebuilt for it.
    if (const auto recursive = settings.readInteger(kFile, QStringLiteral("recursive"))) {
        CheckBox_recursive->setChecked(*recursive != 0);
    }
    if (Edit1->text().contains(QStringLiteral("*."))) {
        const SearchPattern parts = splitSearchPattern(Edit1->text());
        List_files(parts.directory, parts.fileName, CheckBox_recursive->isChecked(), *ListBox1);
    }

    RememberedPlacement remembered;
    remembered.top = settings.readInteger(kPlacement, QStringLiteral("Top"));
    remembered.left = settings.readInteger(kPlacement, QStringLiteral("Left"));
    remembered.width = settings.readInteger(kPlacement, QStringLiteral("Width"));
    remembered.height = settings.readInteger(kPlacement, QStringLiteral("Height"));
    placement_->restore(remembered);

    pictureDialogFolder_ = executableFolder();
}

void TForm_Main::saveSettings() {
    IniFile settings(settingsPath_);
    settings.writeString(kFile, QStringLiteral("Last"), Edit1->text());
    settings.writeString(kUser, QStringLiteral("Date"),
                         QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    settings.writeString(
        kFile, QStringLiteral("recursive"),
        CheckBox_recursive->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    const QRect rect = placement_->normalOuterRect();
    settings.writeString(kPlacement, QStringLiteral("Top"), QString::number(rect.y()));
    settings.writeString(kPlacement, QStringLiteral("Left"), QString::number(rect.x()));
    settings.writeString(kPlacement, QStringLiteral("Width"), QString::number(rect.width()));
    settings.writeString(kPlacement, QStringLiteral("Height"), QString::number(rect.height()));
    settings.save();
}

}  // namespace quillmere
