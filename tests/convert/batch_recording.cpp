#include "batch_recording.h"

#include <QCryptographicHash>
#include <QDir>
#include <algorithm>

namespace quillmere::test {

void RecordingView::appendLine(const QString& line) {
    lines.append(line);
    events.append(QStringLiteral("line ") + line);
}

void RecordingView::appendToLastLine(const QString& text) {
    if (lines.isEmpty()) lines.append(QString());
    lines.last() += text;
    events.append(QStringLiteral("append ") + text);
}

void RecordingView::showPicture(Bitmap24 picture) {
    events.append(QStringLiteral("picture ") + describePicture(picture));
    const int shown = picturesShown++;
    if (onShow) onShow(shown);
}

void RecordingView::loadFailed() {
    events.append(QStringLiteral("load failed"));
}

void RecordingView::progressed(const BatchProgress& report) {
    progress.push_back(report);
    linesAtProgress.push_back(static_cast<int>(lines.size()));
    if (onProgress) onProgress(report);
}

std::string workerCountName(int count) {
    return count == 0 ? std::string("Sequential") : "Workers" + std::to_string(count);
}

QString describePicture(const Bitmap24& picture) {
    const QByteArray pixels(reinterpret_cast<const char*>(picture.bits()),
                            static_cast<qsizetype>(picture.byteCount()));
    return QStringLiteral("%1x%2 %3")
        .arg(picture.width())
        .arg(picture.height())
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(pixels, QCryptographicHash::Md5).toHex().left(12)));
}

QStringList hiddenEntries(const QString& root) {
    QStringList hidden;
    for (const QString& name : QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                    QDir::NoDotAndDotDot)) {
        if (name.startsWith(u'.')) hidden << name;
    }
    return hidden;
}

}  // namespace quillmere::test
