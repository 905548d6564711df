#pragma once

#include <QString>

namespace quillmere {

// The release file share's base URL: Update/BaseURL of the settings file
// (blanks around it dropped) when it is set, the build's own otherwise.
QString configuredReleaseServer(const QString& settingsPath, const QString& builtIn);

}  // namespace quillmere
