#include "about/desktop_shell.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "common/path_encoding.h"

namespace quillmere {

QUrl shellUrlFor(const QString& target) {
    if (target.startsWith(u'/')) return QUrl::fromLocalFile(target);
    const QUrl url(target, QUrl::TolerantMode);
    if (url.isValid() && !url.scheme().isEmpty()) return url;
    return QUrl::fromUserInput(target);
}

void FreedesktopShell::open(const QString& target) {
    QDesktopServices::openUrl(shellUrlFor(target));
}

void FreedesktopShell::showInFileManager(const QString& path) {
    const QString absolute = QDir::current().absoluteFilePath(path);
    QDBusInterface fileManager(QStringLiteral("org.freedesktop.FileManager1"),
                               QStringLiteral("/org/freedesktop/FileManager1"),
                               QStringLiteral("org.freedesktop.FileManager1"),
                               QDBusConnection::sessionBus());
    if (fileManager.isValid()) {
        const QDBusMessage reply = fileManager.call(QStringLiteral("ShowItems"),
                                                    QStringList{fileUriOf(absolute)}, QString());
        if (reply.type() != QDBusMessage::ErrorMessage) return;
    }
    QDesktopServices::openUrl(QUrl(fileUriOf(QFileInfo(absolute).path()), QUrl::StrictMode));
}

}  // namespace quillmere
