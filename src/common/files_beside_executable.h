#pragma once

#include <QString>
#include <QStringList>

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

// The file names of the build's two programs: the window program and the
// command-line one ("quillmere" and "quillmere-batch").
QString windowProgramFileName();
QString batchProgramFileName();

// The name of the release index's local copy ("index.json"), which every
// release lookup writes anew.
QString releaseIndexFileName();

// The names of the program's own files beside the executable, which nothing
// it downloads may replace: the running executable, the build's two
// programs, the settings file of the running executable and of the window
// program, and the release index's local copy. No name twice.
QStringList ownFileNames(const QString& executablePath);

}  // namespace quillmere
