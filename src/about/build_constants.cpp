#include "about/build_constants.h"

namespace quillmere {

FileVersion programVersion() {
    return {QUILLMERE_VERSION_MAJOR, QUILLMERE_VERSION_MINOR, QUILLMERE_VERSION_PATCH,
            QUILLMERE_VERSION_TWEAK};
}

QString builtInReleaseServer() {
    return QStringLiteral(QUILLMERE_RELEASE_BASE_URL);
}

QString builtInWebPage() {
    return QStringLiteral(QUILLMERE_WEB_PAGE);
}

}  // namespace quillmere
