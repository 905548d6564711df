#pragma once

#include <QString>

namespace quillmere {

// Whether the web button may open `address`: an http or https URL (the
// scheme in any case) naming a host. A file, a share, a custom handler, a
// script, text without a scheme and empty text are no web address.
bool isWebAddress(const QString& address);

// The page the web button opens: the release's page when it is a web
// address, the default page otherwise.
QString webPageToOpen(const QString& releasePage, const QString& defaultPage);

}  // namespace quillmere
