#pragma once

#include "common/prompts.h"

class QWidget;

namespace quillmere {

// The real dialogs: Qt message boxes in the program's style and Qt's file
// dialogs.
class QtPrompts final : public Prompts {
  public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    Button ask(Kind kind, const QString& text, Buttons buttons) override;
    void showErrorBox(const QString& text) override;
    void showNotice(const QString& text) override;
    void showStartupError(const QString& text) override;
    std::optional<QStringList> pickPictureFiles(const QString& initialFolder) override;
    std::optional<QString> pickFolder(const QString& defaultFolder) override;

  private:
    QWidget* dialogParent() const;

    QWidget* parent_ = nullptr;
};

}  // namespace quillmere
