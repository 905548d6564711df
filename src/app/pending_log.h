#pragma once

#include <QString>

#include "convert/conversion_ports.h"

namespace quillmere {

// Log operations kept in order until a log takes them in one go: new lines,
// and text added to the last line. They are held as the text they add at
// the end of a log, joined as a log joins its lines.
class PendingLog final : public ConversionLog {
  public:
    void appendLine(const QString& line) override;
    void appendToLastLine(const QString& text) override;

    bool isEmpty() const { return operations_ == 0; }

    // The text to add at the end of a log for the same result as the
    // operations one by one. A new line starts with a line break unless
    // the log is still empty, as it is when it holds no text and has had
    // nothing added since.
    QString textToAppend(bool logEmpty) const;

  private:
    QString text_;
    // The line breaks at the start of text_ that a log still empty leaves
    // out: those of the new lines before any text.
    qsizetype leadingBreaks_ = 0;
    int operations_ = 0;
};

}  // namespace quillmere
