#pragma once

#include <QString>

#include "common/prompts.h"

namespace quillmere {

// The program's one visual style.
inline const QString kVisualStyleName = QStringLiteral("Sky");

// Applies the named style sheet from the program's resources to the whole
// application. When there is no style of that name, says so in an error
// box with a Close button and leaves the normal look; returns false then.
bool applyVisualStyle(const QString& name, Prompts& prompts);

}  // namespace quillmere
