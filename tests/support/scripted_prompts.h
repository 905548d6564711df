#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "common/prompts.h"

namespace quillmere::test {

// Answers the window's dialogs from a script and records what was shown.
class ScriptedPrompts final : public Prompts {
  public:
    struct Question {
        Kind kind;
        QString text;
        Buttons buttons;
    };

    Button ask(Kind kind, const QString& text, Buttons buttons) override;
    void showErrorBox(const QString& text) override {
        errors.append(text);
        if (whileErrorBoxShown) whileErrorBoxShown();
    }
    void showNotice(const QString& text) override { notices.append(text); }
    void showStartupError(const QString& text) override { startupErrors.append(text); }
    std::optional<QStringList> pickPictureFiles(const QString& initialFolder) override;
    std::optional<QString> pickFolder(const QString& defaultFolder) override;

    // What the next dialogs answer; an empty list or folder cancels.
    std::deque<Button> answers;
    std::deque<QStringList> pickedFiles;
    std::deque<QString> pickedFolders;
    // Runs while an error box is up, to see what the window shows then.
    std::function<void()> whileErrorBoxShown;

    QList<Question> questions;
    QStringList errors;
    QStringList notices;
    QStringList startupErrors;
    QStringList fileDialogFolders;
    QStringList folderDialogDefaults;
};

}  // namespace quillmere::test
