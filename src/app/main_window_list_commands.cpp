// The list's own commands (removing, deleting, showing in the file
// manager) and the intake of dropped files.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QUrl>

#include "about/desktop_shell.h"
#include "app/app_messages.h"
#include "app/error_guard.h"
#include "app/file_uris.h"
#include "app/key_codes.h"
#include "app/main_window.h"
#include "common/app_error.h"
#include "common/prompts.h"
#include "imaging/image_process.h"
#include "list/permanent_delete.h"
#include "preview/image_widget.h"

namespace quillmere {

void TForm_Main::ListBox1KeyUp(int keyCode, Qt::KeyboardModifiers modifiers) {
    showInStatusPanel(0, QString::number(keyCode));
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        if (keyCode != kDeleteKeyCode) return;
        const Prompts::Button answer =
            prompts_.ask(Prompts::Kind::Confirmation, app_messages::confirmPermanentDelete(),
                         Prompts::Button::Yes | Prompts::Button::Cancel);
        if (answer != Prompts::Button::Yes) return;
        for (int i = 0; i < ListBox1->count(); ++i) {
            if (!ListBox1->item(i)->isSelected()) continue;
            const QString path = ListBox1->item(i)->text();
            Memo1->appendPlainText(app_messages::permanentDeleteLogLine(path));
            deletePermanently(path);
        }
        PopupMenu_deleteClick();
    } else if (keyCode == kDeleteKeyCode) {
        PopupMenu_deleteClick();
    }
}

void TForm_Main::PopupMenu_deleteClick() {
    // Removing entries is no choice of the user's: the preview stays.
    const QSignalBlocker programChange(ListBox1);
    for (int i = ListBox1->count() - 1; i >= 0; --i) {
        if (ListBox1->item(i)->isSelected()) delete ListBox1->takeItem(i);
    }
}

void TForm_Main::Permanentdelete1Click() {
    ListBox1KeyUp(kDeleteKeyCode, Qt::ShiftModifier);
}

void TForm_Main::showinExplorer1Click() {
    shell_->showInFileManager(currentEntry());
}

void TForm_Main::Files_dropped(const QStringList& paths) {
    for (qsizetype i = 0; i < paths.size(); ++i) {
        {
            const QSignalBlocker programChange(ListBox1);
            ListBox1->addItem(paths[i]);
        }
        if (i + 1 < paths.size()) continue;
        ImageControl& image = Image1->control();
        image.setAutoSize(true);
        try {
            image.picture().loadFromFile(paths[i]);
            Control_to_bitmap24(image);
            image.setAutoSize(false);
        } catch (const InvalidPictureError&) {
            prompts_.showNotice(app_messages::unsupportedImageFile());
        }
    }
}

void TForm_Main::takeInPaths(const QStringList& paths) {
    if (!dropIntake_ || batch_) return;
    runGuarded(prompts_, [&] { Files_dropped(paths); });
}

void TForm_Main::dragEnterEvent(QDragEnterEvent* event) {
    // The list takes no drops while a conversion runs through it.
    if (dropIntake_ && !batch_ && !localPathsOf(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm_Main::dragMoveEvent(QDragMoveEvent* event) {
    if (dropIntake_ && !batch_) event->acceptProposedAction();
}

void TForm_Main::dropEvent(QDropEvent* event) {
    if (!dropIntake_ || batch_) return;
    const QStringList paths = localPathsOf(event->mimeData());
    event->acceptProposedAction();
    takeInPaths(paths);
}

}  // namespace quillmere
