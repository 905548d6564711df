#pragma once

#include <QString>

// The log texts of the conversions.
namespace quillmere::convert_messages {

QString targetExists(const QString& outputPath);
QString overwritten();
QString finished();
// The last log line of a run the user stopped.
QString stopped();
QString convertOneFile();
// Errors of an entry whose target goes to an output folder.
QString sourceOutsideBase(const QString& base);
QString linkLeadsOut(const QString& path);
QString cannotMakeFolder(const QString& path, const QString& reason);
QString confirmSingleConversion(const QString& fileName, const QString& formatItem);

}  // namespace quillmere::convert_messages
