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
QString recursiveWithoutSearch();
QString searchNotScannable(const QString& search);

}  // namespace quillmere::cli_messages
