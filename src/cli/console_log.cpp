#include "cli/console_log.h"
#include "common/path_encoding.h"

namespace quillmere {

void ConsoleLog::appendLine(const QString& line) {
    flush();
    pending_ = line;
}

void ConsoleLog::appendToLastLine(const QString& text) {
    if (!pending_) pending_ = QString();
    *pending_ += text;
}

void ConsoleLog::flush() {
    if (!pending_) return;
    out_ << encodePath(*pending_).toStdString() << '\n';
    out_.flush();
    pending_.reset();
}

}  // namespace quillmere
