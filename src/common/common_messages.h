#pragma once

#include <QString>

// The texts of the program's shared pieces.
namespace quillmere::common_messages {

QString unableToWrite(const QString& path);

}  // namespace quillmere::common_messages
