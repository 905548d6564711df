#pragma once

#include <QString>

namespace quillmere {

// The program keeps its files beside its executable: the settings file (the
// program's INI, named like the executable with the extension ".ini"), the
// local copy of the release index and the update download. Where that
// folder cannot be written and holds no settings file yet (a system-wide
// install), they live in the per-user configuration folder instead.

// The folder, with its trailing "/", chosen by that rule.
QString chooseFilesFolder(const QString& executableFolder, bool executableFolderWritable,
                          bool settingsFileThere, const QString& userFolder);

// The rule applied to the file system; the per-user folder is created when
// it is chosen.
QString programFilesFolder(const QString& executablePath, const QString& userFolder);

// The settings file's name: the executable's file name with its extension
// (from the last ".") replaced by ".ini", or ".ini" appended.
QString settingsFileName(const QString& executablePath);

// One value of the settings file: the first `key` in the first `section`
// of that name, both matched without regard to case, blanks around the
// value dropped. Empty when the file, the section or the key is missing.
QString readSettingsValue(const QString& settingsPath, const QString& section, const QString& key);

// The release file share's base URL: Update/BaseURL of the settings file
// when it is set, the build's own otherwise.
QString configuredReleaseServer(const QString& settingsPath, const QString& builtIn);

}  // namespace quillmere
