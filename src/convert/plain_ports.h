#pragma once

#include <QStringList>
#include <set>

#include "convert/conversion_ports.h"

// Plain-value implementations of the conversion views, for the command
// line and for tests.
namespace quillmere {

class PathList final : public FileListView {
  public:
    explicit PathList(QStringList paths = {}, std::set<int> selection = {});
    int count() const override { return static_cast<int>(paths_.size()); }
    QString entry(int index) const override { return paths_.at(index); }
    int selectedCount() const override { return static_cast<int>(selection_.size()); }
    bool isSelected(int index) const override { return selection_.contains(index); }

  private:
    QStringList paths_;
    std::set<int> selection_;
};

class LineLog final : public ConversionLog {
  public:
    void appendLine(const QString& line) override { lines_.append(line); }
    void appendToLastLine(const QString& text) override;
    const QStringList& lines() const { return lines_; }

  private:
    QStringList lines_;
};

class FixedFormat final : public TargetFormatChoice {
  public:
    explicit FixedFormat(QString format) : format_(std::move(format)) {}
    QString currentFormat() const override { return format_; }

  private:
    QString format_;
};

class TextQualityField final : public QualityField {
  public:
    explicit TextQualityField(QString text) : text_(std::move(text)) {}
    QString text() const override { return text_; }
    void setText(const QString& text) override { text_ = text; }

  private:
    QString text_;
};

class FixedOverwrite final : public OverwriteSwitch {
  public:
    explicit FixedOverwrite(bool checked) : checked_(checked) {}
    bool isChecked() const override { return checked_; }

  private:
    bool checked_;
};

}  // namespace quillmere
