#include "update/web_address.h"

#include <QUrl>

namespace quillmere {

bool isWebAddress(const QString& address) {
    // Read as the desktop shell reads an address that names its scheme.
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme();
    const bool web = scheme.compare(u"http", Qt::CaseInsensitive) == 0 ||
                     scheme.compare(u"https", Qt::CaseInsensitive) == 0;
    return url.isValid() && web && !url.host().isEmpty();
}

QString webPageToOpen(const QString& releasePage, const QString& defaultPage) {
    return isWebAddress(releasePage) ? releasePage : defaultPage;
}

}  // namespace quillmere
