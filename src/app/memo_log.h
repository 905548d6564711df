#pragma once

#include "convert/conversion_ports.h"

class QPlainTextEdit;

namespace quillmere {

class PendingLog;

// The window's log pane as the conversions' log.
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

}  // namespace quillmere
