#include "app/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/app_messages.h"
#include "app/application_title.h"
#include "app/file_dialogs.h"

namespace quillmere {

namespace {

QString captionOf(Prompts::Kind kind) {
    switch (kind) {
        case Prompts::Kind::Warning:
            return app_messages::questionCaptionWarning();
        case Prompts::Kind::Error:
            return app_messages::questionCaptionError();
        case Prompts::Kind::Information:
            return app_messages::questionCaptionInformation();
        case Prompts::Kind::Confirmation:
            break;
    }
    return app_messages::questionCaptionConfirm();
}

QMessageBox::Icon iconOf(Prompts::Kind kind) {
    switch (kind) {
        case Prompts::Kind::Warning:
            return QMessageBox::Warning;
        case Prompts::Kind::Error:
            return QMessageBox::Critical;
        case Prompts::Kind::Information:
            return QMessageBox::Information;
        case Prompts::Kind::Confirmation:
            break;
    }
    return QMessageBox::Question;
}

void showSingleButtonBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                         const QString& buttonText) {
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::NoButton, parent);
    box.addButton(buttonText, QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace

QWidget* QtPrompts::dialogParent() const {
    // Over a modal window (the about box, kept on top) the dialog belongs to it.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return parent_;
}

Prompts::Button QtPrompts::ask(Kind kind, const QString& text, Buttons buttons) {
    QMessageBox box(iconOf(kind), captionOf(kind), text, QMessageBox::NoButton, dialogParent());
    const struct {
        Button button;
        QString text;
        QMessageBox::ButtonRole role;
    } choices[] = {
        {Button::Yes, app_messages::buttonYes(), QMessageBox::YesRole},
        {Button::No, app_messages::buttonNo(), QMessageBox::NoRole},
        {Button::Ok, app_messages::buttonOk(), QMessageBox::AcceptRole},
        {Button::Cancel, app_messages::buttonCancel(), QMessageBox::RejectRole},
    };
    std::vector<std::pair<QAbstractButton*, Button>> shown;
    for (const auto& choice : choices) {
        if (buttons.testFlag(choice.button)) {
            shown.emplace_back(box.addButton(choice.text, choice.role), choice.button);
        }
    }
    box.exec();
    for (const auto& [widget, button] : shown) {
        if (box.clickedButton() == widget) return button;
    }
    return Button::Cancel;  // Escape or the window's close button
}

void QtPrompts::showErrorBox(const QString& text) {
    showSingleButtonBox(dialogParent(), QMessageBox::Critical, text, app_messages::buttonOk());
}

void QtPrompts::showNotice(const QString& text) {
    showSingleButtonBox(dialogParent(), QMessageBox::NoIcon, text, app_messages::buttonOk());
}

void QtPrompts::showStartupError(const QString& text) {
    showSingleButtonBox(nullptr, QMessageBox::Critical, text, app_messages::buttonClose());
}

std::optional<QStringList> QtPrompts::pickPictureFiles(const QString& initialFolder) {
    QFileDialog dialog(parent_);
    setUpPictureDialog(dialog, initialFolder);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> QtPrompts::pickFolder(const QString& defaultFolder) {
    QFileDialog dialog(parent_);
    setUpFolderDialog(dialog, defaultFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace quillmere
