#pragma once

#include <QString>

// The small views of the main window that the conversions work through;
// the window and the command line each fill them in their own way.
namespace quillmere {

class FileListView {
  public:
    virtual ~FileListView() = default;
    virtual int count() const = 0;
    virtual QString entry(int index) const = 0;
    virtual int selectedCount() const = 0;
    virtual bool isSelected(int index) const = 0;
};

class ConversionLog {
  public:
    virtual ~ConversionLog() = default;
    virtual void appendLine(const QString& line) = 0;
    virtual void appendToLastLine(const QString& text) = 0;
};

// The format converted to: one of "BMP", "JPG", "PNG", "GIF", "TIFF".
class TargetFormatChoice {
  public:
    virtual ~TargetFormatChoice() = default;
    virtual QString currentFormat() const = 0;
};

class QualityField {
  public:
    virtual ~QualityField() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
};

class OverwriteSwitch {
  public:
    virtual ~OverwriteSwitch() = default;
    virtual bool isChecked() const = 0;
};

}  // namespace quillmere
