#include "app/widget_ports.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>

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
