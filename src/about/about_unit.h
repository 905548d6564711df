#pragma once

#include <QDialog>
#include <QLocale>
#include <QString>
#include <functional>
#include <memory>

#include "about/desktop_shell.h"
#include "about/version_text.h"
#include "update/download.h"

namespace quillmere {

// The about unit's variables: empty at start, filled by each about box's
// creation and release lookup, and read by the update download and the web
// link.
struct AboutVariables {
    QString app_short_name;
    QString app_version;
    QString release_base_url;
    QString release_index_name;
    QString release_index_path;
    QString release_file_name;
    QString release_version;
    QString release_website;
    QString release_status;
};

// What an about box looks at and acts on outside itself.
struct AboutSetup {
    // The program the box describes.
    QString executablePath;
    VersionInfoReader readVersionInfo = runningProgramVersionInfo;
    // Regional settings for the release date.
    QLocale locale;
    // The release file share's base URL when the settings file sets none.
    QString builtInReleaseServer;
    // The page the web button opens when the release index names none.
    QString defaultWebPage;
    // Where the program's files go when its own folder cannot take them.
    QString userFolder;
    // The release index lookup (bounded in all, as start-up waits for it)
    // and the update download (ended only by a stall or its size).
    DownloadLimits indexLimits = releaseIndexLimits();
    DownloadLimits updateLimits;
    std::shared_ptr<DesktopShell> shell;
    // Shows an about box modally until it is closed.
    std::function<void(QDialog&)> showModally;
};

// The running program: its own file, the system locale, the build's
// addresses, the per-user configuration folder, the desktop shell and
// QDialog::exec.
AboutSetup systemAboutSetup();

// The unit: its variables and its setup, shared by every about box.
struct AboutUnit {
    AboutVariables variables;
    AboutSetup setup;
};

// The process's one unit, set up for the running program on first use.
AboutUnit& aboutUnit();

}  // namespace quillmere
