#include "update/release_server.h"

#include "common/ini_file.h"

namespace quillmere {

QString configuredReleaseServer(const QString& settingsPath, const QString& builtIn) {
    const QString configured =
        IniFile(settingsPath)
            .readString(QStringLiteral("Update"), QStringLiteral("BaseURL"), {})
            .trimmed();
    return configured.isEmpty() ? builtIn : configured;
}

}  // namespace quillmere
