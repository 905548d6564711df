#pragma once

#include "convert/conversion_ports.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// The window's controls seen through the conversion views.
namespace quillmere {

class ListWidgetView final : public FileListView {
  public:
    explicit ListWidgetView(const QListWidget& list) : list_(list) {}
    int count() const override;
    QString entry(int index) const override;
    int selectedCount() const override;
    bool isSelected(int index) const override;

  private:
    const QListWidget& list_;
};

class PendingLog;

class MemoLog final : public ConversionLog {
  public:
    explicit MemoLog(QPlainTextEdit& memo) : memo_(memo) {}
    void appendLine(const QString& line) override;
    void appendToLastLine(const QString& text) override;
    // The pending operations in one edit, with the text of applying them
    // one by one. A view that shows the end of the log goes on showing it,
    // as it does when a line is appended.
    void appendAll(const PendingLog& pending);

  private:
    QPlainTextEdit& memo_;
};

class RadioGroupFormat final : public TargetFormatChoice {
  public:
    explicit RadioGroupFormat(const QButtonGroup& group) : group_(group) {}
    QString currentFormat() const override;

  private:
    const QButtonGroup& group_;
};

class LineEditQuality final : public QualityField {
  public:
    explicit LineEditQuality(QLineEdit& edit) : edit_(edit) {}
    QString text() const override;
    void setText(const QString& text) override;

  private:
    QLineEdit& edit_;
};

class CheckBoxSwitch final : public OverwriteSwitch {
  public:
    explicit CheckBoxSwitch(const QCheckBox& box) : box_(box) {}
    bool isChecked() const override;

  private:
    const QCheckBox& box_;
};

}  // namespace quillmere
