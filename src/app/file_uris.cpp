#include "app/file_uris.h"

#include <QMimeData>
#include <QUrl>

#include "common/path_encoding.h"

namespace quillmere {

QStringList localPathsOf(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        // QUrl decodes escapes as UTF-8; the file's own bytes come from the
        // encoded form.
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        paths << (url.host().isEmpty() ? decodePath(bytes) : url.toLocalFile());
    }
    return paths;
}

}  // namespace quillmere
