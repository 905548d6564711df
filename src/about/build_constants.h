#pragma once

#include <QString>

#include "about/version_text.h"

namespace quillmere {

// What the build fixes: the program's version, the release file share's
// base URL (ending in "NAS_file_Share/") and the default web page.
FileVersion programVersion();
QString builtInReleaseServer();
QString builtInWebPage();

}  // namespace quillmere
