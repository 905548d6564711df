#include "about/about_unit.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "about/build_constants.h"

namespace quillmere {

AboutSetup systemAboutSetup() {
    AboutSetup setup;
    setup.executablePath = QCoreApplication::applicationFilePath();
    setup.locale = QLocale::system();
    setup.builtInReleaseServer = builtInReleaseServer();
    setup.defaultWebPage = builtInWebPage();
    setup.userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    setup.shell = std::make_shared<FreedesktopShell>();
    setup.showModally = [](QDialog& box) { box.exec(); };
    return setup;
}

AboutUnit& aboutUnit() {
    static AboutUnit unit{{}, systemAboutSetup()};
    return unit;
}

}  // namespace quillmere
