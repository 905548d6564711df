#pragma once

#include <QString>

namespace quillmere {

// The text of the standard error box: the message, with "." appended when
// its last character sorts above "." (so one ending in ")" or "." gets none).
QString errorBoxText(const QString& message);

// The system's reason text for an errno value.
QString systemReason(int errorNumber);

}  // namespace quillmere
