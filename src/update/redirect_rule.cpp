#include "update/redirect_rule.h"

namespace quillmere {

QByteArray redirectProtocolsFor(const QByteArray& startUrl) {
    const qsizetype colon = startUrl.indexOf(':');
    const QByteArray scheme = colon < 0 ? QByteArray() : startUrl.left(colon).toLower();
    return scheme == "http" ? QByteArrayLiteral("http,https") : QByteArrayLiteral("https");
}

}  // namespace quillmere
