#include "convert/format_names.h"

namespace quillmere {

QStringList formatNames() {
    return {QStringLiteral("BMP"), QStringLiteral("JPG"), QStringLiteral("PNG"),
            QStringLiteral("GIF"), QStringLiteral("TIFF")};
}

}  // namespace quillmere
