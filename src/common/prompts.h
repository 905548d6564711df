#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <optional>

namespace quillmere {

// Every question, notice and picker the window shows goes through this
// interface: the program shows Qt dialogs, tests answer from a script.
class Prompts {
  public:
    enum class Kind { Warning, Error, Information, Confirmation };
    enum class Button { None = 0, Yes = 1, No = 2, Ok = 4, Cancel = 8 };
    Q_DECLARE_FLAGS(Buttons, Button)

    virtual ~Prompts() = default;

    // A question: the button that closed it; closing it any other way
    // counts as Cancel.
    virtual Button ask(Kind kind, const QString& text, Buttons buttons) = 0;
    // The standard error box: the message as given (the caller applies the
    // closing-period rule), the application title, one OK button.
    virtual void showErrorBox(const QString& text) = 0;
    // A plain notice with the application title and one OK button.
    virtual void showNotice(const QString& text) = 0;
    // An error box with a Close button, shown before any window exists.
    virtual void showStartupError(const QString& text) = 0;

    // The open-picture dialog: the picked paths, or nothing when cancelled.
    virtual std::optional<QStringList> pickPictureFiles(const QString& initialFolder) = 0;
    // The folder dialog: the chosen folder, or nothing when cancelled.
    virtual std::optional<QString> pickFolder(const QString& defaultFolder) = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompts::Buttons)

}  // namespace quillmere
