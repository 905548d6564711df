#pragma once

#include <QString>
#include <QStringList>

namespace quillmere::test {

// Every entry below `root`, hidden ones included, one a line in name
// order: "NAME SIZE DIGEST" for a file, "NAME/" for a folder,
// "NAME -> DESTINATION" for a symbolic link and "NAME (special)" for a
// pipe, socket or device, with `root` written as "@".
QStringList folderContents(const QString& root);

// The text with every occurrence of `root` written as "@".
QString withoutRoot(QString text, const QString& root);
QStringList withoutRoot(QStringList lines, const QString& root);

}  // namespace quillmere::test
