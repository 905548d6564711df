#include "app/application_title.h"

#include <QCoreApplication>

#include "common/path_text.h"

namespace quillmere {

QString applicationTitleFor(const QString& executablePath) {
    QString name = fileNamePart(executablePath);
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0) name.truncate(dot);
    if (name.isEmpty()) return name;
    return name.left(1) + name.mid(1).toLower();
}

QString applicationTitle() {
    return applicationTitleFor(QCoreApplication::applicationFilePath());
}

QString executableFolder() {
    const QString path = QCoreApplication::applicationFilePath();
    return path.left(path.lastIndexOf(u'/') + 1);
}

}  // namespace quillmere
