#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <functional>
#include <vector>

#include "app/memo_log.h"
#include "app/pending_log.h"
#include "support/qt_printers.h"

namespace quillmere {
namespace {

// One log operation: a new line, or text added to the last line.
struct Operation {
    bool newLine;
    QString text;
};

void replay(const std::vector<Operation>& operations, ConversionLog& log) {
    for (const Operation& operation : operations) {
        if (operation.newLine) {
            log.appendLine(operation.text);
        } else {
            log.appendToLastLine(operation.text);
        }
    }
}

Operation line(const QString& text) {
    return {true, text};
}
Operation extension(const QString& text) {
    return {false, text};
}

// Operations taken in one go leave the log as they leave it one by one,
// and make one change of it, which one undo takes back.
TEST(MemoLogTest, PendingOperationsLeaveTheTextOfAppendingThemOneByOne) {
    const QString over = QStringLiteral(" -->over write ");
    const struct {
        const char* what;
        QString before;
        std::vector<Operation> operations;
        QString after;
    } cases[] = {
        {"lines after the design text", "Memo1", {line("a"), line("b")}, "Memo1\na\nb"},
        {"lines in an empty log", "", {line("a"), extension(over), line("b")}, "a" + over + "\nb"},
        {"text for the last line first", "x", {extension("y"), line("z")}, "xy\nz"},
        {"empty lines in an empty log", "", {line(""), line(""), line("c")}, "c"},
        {"empty line, then text for it", "", {line(""), extension("e"), line("f")}, "e\nf"},
        {"a line that starts with a break", "", {line("\nfoo"), line("g")}, "\nfoo\ng"},
        {"nothing added", "", {extension("")}, ""},
        {"a log ending in an empty line", "a\n", {line("b")}, "a\n\nb"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        QPlainTextEdit oneByOne(each.before);
        MemoLog stepLog(oneByOne);
        replay(each.operations, stepLog);

        QPlainTextEdit inOneGo(each.before);
        QTextDocument& document = *inOneGo.document();
        int changes = 0;
        QObject::connect(&document, &QTextDocument::contentsChange, [&] { ++changes; });
        PendingLog pending;
        replay(each.operations, pending);
        EXPECT_FALSE(pending.isEmpty());
        MemoLog(inOneGo).appendAll(pending);

        EXPECT_EQ(oneByOne.toPlainText(), each.after);
        EXPECT_EQ(inOneGo.toPlainText(), each.after);
        EXPECT_EQ(changes, each.after == each.before ? 0 : 1);
        document.undo();
        EXPECT_EQ(inOneGo.toPlainText(), each.before);
    }
}

TEST(MemoLogTest, NoOperationsChangeNothing) {
    QPlainTextEdit memo(QStringLiteral("Memo1"));
    PendingLog pending;
    EXPECT_TRUE(pending.isEmpty());
    MemoLog(memo).appendAll(pending);
    EXPECT_EQ(memo.toPlainText(), "Memo1");
    EXPECT_FALSE(memo.document()->isUndoAvailable());
}

// A log whose end is in view keeps its end in view as lines come; one
// scrolled back stays where the user left it. Both as appending the lines
// one by one does.
TEST(MemoLogTest, TheViewFollowsTheEndOnlyWhileItShowsIt) {
    const struct {
        const char* what;
        bool scrolledBack;
    } cases[] = {{"at the end", false}, {"scrolled back", true}};
    std::vector<Operation> lines;
    for (int i = 0; i < 300; ++i) lines.push_back(line(QString::number(i)));
    const auto show = [&](QPlainTextEdit& memo, bool scrolledBack) {
        for (int i = 0; i < 50; ++i) memo.appendPlainText(QStringLiteral("before %1").arg(i));
        memo.resize(200, 120);
        memo.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&memo));
        QScrollBar& bar = *memo.verticalScrollBar();
        EXPECT_GT(bar.maximum(), 0);
        bar.setValue(scrolledBack ? 0 : bar.maximum());
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        QPlainTextEdit oneByOne;
        show(oneByOne, each.scrolledBack);
        MemoLog stepLog(oneByOne);
        replay(lines, stepLog);

        QPlainTextEdit inOneGo;
        show(inOneGo, each.scrolledBack);
        PendingLog pending;
        replay(lines, pending);
        MemoLog(inOneGo).appendAll(pending);

        const QScrollBar& bar = *inOneGo.verticalScrollBar();
        EXPECT_EQ(bar.value(), each.scrolledBack ? 0 : bar.maximum());
        EXPECT_EQ(bar.value(), oneByOne.verticalScrollBar()->value());
        EXPECT_EQ(bar.maximum(), oneByOne.verticalScrollBar()->maximum());
    }
}

}  // namespace
}  // namespace quillmere
