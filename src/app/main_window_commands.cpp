// The window's commands that fill the list and convert it.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include "app/application_title.h"
#include "app/main_window.h"
#include "app/memo_log.h"
#include "common/prompts.h"
#include "list/folder_scan.h"
#include "list/search_pattern.h"
#include "preview/image_widget.h"

namespace quillmere {

void TForm_Main::clearList() {
    const QSignalBlocker programChange(ListBox1);
    ListBox1->clear();
}

void TForm_Main::List_files(const QString& directory, const QString& pattern, bool recursive,
                            QListWidget& list) {
    const QStringList paths = scanFolder(directory, pattern, recursive);
    list.addItems(paths);  // one batch: a single layout pass however long the list
}

void TForm_Main::Button1Click() {
    clearList();
    const std::optional<QStringList> picked = prompts_.pickPictureFiles(pictureDialogFolder_);
    if (!picked || picked->isEmpty()) return;
    ListBox1->addItems(*picked);
    Edit1->setText(splitSearchPattern(picked->constLast()).directory);
}

void TForm_Main::Button_folder_selectClick() {
    clearList();
    const std::optional<QString> folder = prompts_.pickFolder(executableFolder());
    if (!folder) return;
    const bool recursive = CheckBox_recursive->isChecked();
    const QString pattern = patternForFormat(formatItem(RadioGroup1));
    Edit1->setText(*folder + u'/' + pattern);
    Memo1->clear();
    List_files(*folder, pattern, recursive, *ListBox1);
}

void TForm_Main::RadioGroup1Click() {
    const QString directory = splitSearchPattern(Edit1->text()).directory;
    Edit1->setText(directory + patternForFormat(formatItem(RadioGroup1)));
    Search_changed();
}

void TForm_Main::Search_changed() {
    clearList();
    const QString text = Edit1->text();
    if (!isScannable(text)) return;
    const SearchPattern parts = splitSearchPattern(text);
    List_files(parts.directory, parts.fileName, CheckBox_recursive->isChecked(), *ListBox1);
}

}  // namespace quillmere
