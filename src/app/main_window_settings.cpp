// The remembered settings: read at start, written at close.
#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>

#include "app/application_title.h"
#include "app/main_window.h"
#include "app/window_placement.h"
#include "common/ini_file.h"
#include "list/search_pattern.h"

namespace quillmere {

namespace {

const QString kFile = QStringLiteral("File");
const QString kUser = QStringLiteral("User");
const QString kPlacement = QStringLiteral("Placement");

}  // namespace

QRect TForm_Main::outerRect() const {
    return frameGeometry();
}

void TForm_Main::setOuterRect(const QRect& rect) {
    const QSize frame = frameGeometry().size() - size();
    move(rect.topLeft());
    resize(rect.size() - frame);
}

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

    // Each value takes effect before the next is read.
    const auto place = [&](const char* key, auto apply) {
        QRect rect = outerRect();
        if (const auto value = settings.readInteger(kPlacement, QString::fromLatin1(key))) {
            apply(rect, *value);
            setOuterRect(rect);
        }
    };
    place("Top", [](QRect& r, int v) { r.moveTop(v); });
    place("Left", [](QRect& r, int v) { r.moveLeft(v); });
    place("Width", [](QRect& r, int v) { r.setWidth(v); });
    place("Height", [](QRect& r, int v) { r.setHeight(v); });
    setOuterRect(keepOnVirtualScreen(outerRect(), virtualScreenSize_()));

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
    // A minimised window keeps the rectangle it has when restored.
    const QRect rect = isMinimized() ? normalGeometry() : outerRect();
    settings.writeString(kPlacement, QStringLiteral("Top"), QString::number(rect.y()));
    settings.writeString(kPlacement, QStringLiteral("Left"), QString::number(rect.x()));
    settings.writeString(kPlacement, QStringLiteral("Width"), QString::number(rect.width()));
    settings.writeString(kPlacement, QStringLiteral("Height"), QString::number(rect.height()));
    settings.save();
}

}  // namespace quillmere
