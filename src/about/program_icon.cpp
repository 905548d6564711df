#include "about/program_icon.h"

namespace quillmere {

namespace {

QString mainIconResource() {
    return QStringLiteral(":/icons/MAINICON.png");
}

}  // namespace

QPixmap mainIconPixmap(int size) {
    const QPixmap icon(mainIconResource());
    if (icon.isNull() || icon.size() == QSize(size, size)) return icon;
    return icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIcon programIcon() {
    return QIcon(mainIconResource());
}

}  // namespace quillmere
