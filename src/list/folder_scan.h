#pragma once

#include <QString>
#include <QStringList>

namespace quillmere {

// The paths of the files in `directory` whose names match `pattern` (see
// NameMask), and with `recursive` those in every folder below it, in walk
// order: the entries of each folder in name order (compared without regard
// to case), the contents of a subfolder standing where the subfolder is met
// (pre-order). Every path is the directory text exactly as given, "/" unless
// that already ends with one, and the names below it, so a relative
// directory gives relative paths.
//
// Hidden entries are listed and descended, links to folders are followed
// (a folder already on the way down from `directory` is not entered again),
// links to files count as files, and a folder that cannot be read is skipped
// without a message.
//
// Before the disk is walked the arguments are checked; a bad one throws
// AppError with its message. An invalid mask throws once the first entry of
// `directory` is matched, so an empty directory gives no error. All paths
// are gathered before the function returns.
QStringList scanFolder(const QString& directory, const QString& pattern, bool recursive);

}  // namespace quillmere
