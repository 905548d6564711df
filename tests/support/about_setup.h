#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <memory>

#include "about/about_unit.h"
#include "support/recording_shell.h"
#include "support/sandbox.h"

namespace quillmere::test {

// An about box's setup for an executable Tool.exe (version 1.2.0.15) in
// `sandbox`, in a Dutch locale, whose release server is `releaseServer`
// and whose desktop shell records what it is asked.
inline AboutSetup sandboxAboutSetup(const Sandbox& sandbox, const QString& releaseServer) {
    AboutSetup setup;
    setup.executablePath = sandbox.write("Tool.exe", QByteArray("the program"));
    setup.readVersionInfo = [](const QString&) { return FileVersion{1, 2, 0, 15}; };
    setup.locale = QLocale(QLocale::Dutch, QLocale::Netherlands);
    setup.builtInReleaseServer = releaseServer;
    setup.userFolder = sandbox.path("user");
    setup.shell = std::make_shared<RecordingShell>();
    return setup;
}

}  // namespace quillmere::test
