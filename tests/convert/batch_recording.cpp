#include "batch_recording.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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

QString withoutRoot(QString text, const QString& root) {
    return text.replace(root, QStringLiteral("@"));
}

QStringList withoutRoot(QStringList lines, const QString& root) {
    for (QString& line : lines) line = withoutRoot(line, root);
    return lines;
}

QStringList folderContents(const QString& root) {
    QStringList found;
    QDirIterator entries(root,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        const QString name = path.mid(root.size() + 1);
        if (info.isSymbolicLink()) {
            found << name + " -> " + withoutRoot(info.symLinkTarget(), root);
        } else if (info.isDir()) {
            found << name + '/';
        } else {
            QFile file(path);
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
            found << QStringLiteral("%1 %2 %3")
                         .arg(name)
                         .arg(bytes.size())
                         .arg(QString::fromLatin1(
                             QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()));
        }
    }
    std::sort(found.begin(), found.end());
    return found;
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
