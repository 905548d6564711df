#include "about/about_unit.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "about/build_constants.h"
#include "common/ini_file.h"

namespace quillmere {

AboutSetup systemAboutSetup() {
    AboutSetup setup;
    setup.executablePath = QCoreApplication::applicationFilePath();
    setup.locale = QLocale::system();
    setup.builtInReleaseServer = builtInReleaseServer();
    setup.defaultWebPage = builtInWebPage();
    setup.userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    setup.shell = std::make_shared<DesktopShellOpener>();
    setup.showModally = [](QDialog& box) { box.exec(); };
    return setup;
}

AboutUnit& aboutUnit() {
    static AboutUnit unit{{}, systemAboutSetup()};
    return unit;
}

QString configuredReleaseServer(const QString& settingsPath, const QString& builtIn) {
    const QString configured =
        IniFile(settingsPath)
            .readString(QStringLiteral("Update"), QStringLiteral("BaseURL"), {})
            .trimmed();
    return configured.isEmpty() ? builtIn : configured;
}

}  // namespace quillmere
