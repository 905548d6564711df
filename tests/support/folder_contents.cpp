#include "support/folder_contents.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace quillmere::test {

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
        } else if (!info.isFile()) {
            // A pipe, socket or device: opening it could wait for ever.
            found << name + " (special)";
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

}  // namespace quillmere::test
