#pragma once

#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringList>

#include "app/main_window.h"

// What the main window's list and log hold, as the tests compare them.
namespace quillmere::test {

// The list's entries, top to bottom.
inline QStringList listed(const TForm_Main& window) {
    QStringList entries;
    for (int i = 0; i < window.ListBox1->count(); ++i) entries << window.ListBox1->item(i)->text();
    return entries;
}

// The log's lines.
inline QStringList logLines(const TForm_Main& window) {
    return window.Memo1->toPlainText().split(u'\n');
}

}  // namespace quillmere::test
