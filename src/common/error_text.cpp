#include "common/error_text.h"

#include <cstring>

namespace quillmere {

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') {
        return message + u'.';
    }
    return message;
}

QString systemReason(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

}  // namespace quillmere
