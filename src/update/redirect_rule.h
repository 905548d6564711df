#pragma once

#include <QByteArray>

namespace quillmere {

// The schemes a download may be redirected to, as curl's protocol list:
// a download that starts on HTTPS stays on HTTPS ("https"), one that starts
// on plain HTTP may move up to HTTPS ("http,https"). The start address's
// scheme is compared without regard to case; any other start gets "https".
QByteArray redirectProtocolsFor(const QByteArray& startUrl);

}  // namespace quillmere
