#include "app/pending_log.h"

namespace quillmere {

void PendingLog::appendLine(const QString& line) {
    if (text_.size() == leadingBreaks_) ++leadingBreaks_;
    text_ += u'\n';
    text_ += line;
    ++operations_;
}

void PendingLog::appendToLastLine(const QString& text) {
    text_ += text;
    ++operations_;
}

QString PendingLog::textToAppend(bool logEmpty) const {
    return logEmpty ? text_.mid(leadingBreaks_) : text_;
}

}  // namespace quillmere
