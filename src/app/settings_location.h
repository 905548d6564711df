#pragma once

#include <QString>

namespace quillmere {

// The settings file beside an executable: its path with the extension
// (from the last "." of the file name) replaced by ".ini", or ".ini"
// appended when it has none.
QString settingsPathBeside(const QString& executablePath);

// Where the running program keeps its settings: beside the executable, or,
// when that folder cannot be written and holds no settings file yet, in the
// per-user configuration folder.
QString settingsFilePath();

}  // namespace quillmere
