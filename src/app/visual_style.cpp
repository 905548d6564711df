#include "app/visual_style.h"

#include <QApplication>
#include <QFile>

#include "app/app_messages.h"

namespace quillmere {

bool applyVisualStyle(const QString& name, Prompts& prompts) {
    QFile sheet(QStringLiteral(":/styles/%1.qss").arg(name));
    if (!sheet.open(QIODevice::ReadOnly)) {
        prompts.showStartupError(app_messages::styleNotFound(name));
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    return true;
}

}  // namespace quillmere
