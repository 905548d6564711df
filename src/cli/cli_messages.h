#pragma once

#include <QString>

// The texts of the command-line front end.
namespace quillmere::cli_messages {

QString usage();
QString help();
QString version();
QString wrongCommandLine(const QString& problem);
QString unknownFormat(const QString& format);
QString missingTarget();
QString badJobCount(const QString& given, int most);
// The progress line: files done out of the run's files, speed, time left
// (negative: not known yet).
QString badMemoryLimit(const QString& given);
QString progress(int done, int total, double megapixelsPerSecond, int secondsLeft);
QString recursiveWithoutSearch();
QString searchNotScannable(const QString& search);
QString nullWithoutList();
QString baseWithoutOutputFolder();
QString badShard(const QString& given);
// A list of names that cannot be read, and the system's reason (empty when
// none is known).
QString unreadableList(const QString& file, const QString& reason);
// An entry that failed: its source and the error box's text.
QString entryFailed(const QString& source, const QString& message);

}  // namespace quillmere::cli_messages
