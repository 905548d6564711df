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

}  // namespace quillmere
