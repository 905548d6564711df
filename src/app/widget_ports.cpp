#include "app/widget_ports.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include "app/pending_log.h"

namespace quillmere {

int ListWidgetView::count() const {
    return list_.count();
}

QString ListWidgetView::entry(int index) const {
    return list_.item(index)->text();
}

int ListWidgetView::selectedCount() const {
    return static_cast<int>(list_.selectionModel()->selectedRows().size());
}

bool ListWidgetView::isSelected(int index) const {
    return list_.item(index)->isSelected();
}

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

QString RadioGroupFormat::currentFormat() const {
    const QAbstractButton* checked = group_.checkedButton();
    return checked ? checked->text() : QString();
}

QString LineEditQuality::text() const {
    return edit_.text();
}

void LineEditQuality::setText(const QString& text) {
    edit_.setText(text);
}

bool CheckBoxSwitch::isChecked() const {
    return box_.isChecked();
}

}  // namespace quillmere
