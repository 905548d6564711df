#pragma once

#include <QString>

// The log texts of the conversions.
namespace quillmere::convert_messages {

QString targetExists(const QString& outputPath);
QString overwritten();
QString finished();

}  // namespace quillmere::convert_messages
