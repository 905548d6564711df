#include "app/memo_log.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include "app/pending_log.h"

namespace quillmere {

void MemoLog::appendLine(const QString& line) {
    memo_.appendPlainText(line);
}

void MemoLog::appendToLastLine(const QString& text) {
    QTextCursor cursor(memo_.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

void MemoLog::appendAll(const PendingLog& pending) {
    if (pending.isEmpty()) return;
    QTextDocument& document = *memo_.document();
    const QString text = pending.textToAppend(document.isEmpty());
    if (text.isEmpty()) return;
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    const bool showsEnd =
        memo_.isVisible() && memo_.cursorRect(end).bottom() <= memo_.viewport()->rect().bottom();
    end.beginEditBlock();
    end.insertText(text);
    end.endEditBlock();
    if (showsEnd) memo_.verticalScrollBar()->setValue(memo_.verticalScrollBar()->maximum());
}

}  // namespace quillmere
