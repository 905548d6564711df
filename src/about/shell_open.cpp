#include "about/shell_open.h"

#include <QDesktopServices>

namespace quillmere {

QUrl shellUrlFor(const QString& target) {
    if (target.startsWith(u'/')) return QUrl::fromLocalFile(target);
    const QUrl url(target, QUrl::TolerantMode);
    if (url.isValid() && !url.scheme().isEmpty()) return url;
    return QUrl::fromUserInput(target);
}

void DesktopShellOpener::open(const QString& target) {
    QDesktopServices::openUrl(shellUrlFor(target));
}

}  // namespace quillmere
