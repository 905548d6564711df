#pragma once

#include <QString>

// The messages of the folder scan. A message about a path or a pattern
// carries it on a second line: a line break (carriage return, line feed),
// then the text between "[" and "]".
namespace quillmere::list_messages {

QString pathIsEmpty();
QString searchPatternIsEmpty();
QString invalidCharactersInSearchPattern(const QString& pattern);
QString invalidCharactersInPath(const QString& absolutePath);
QString pathNotFound(const QString& absolutePath);
QString invalidMask(const QString& mask, int position);

}  // namespace quillmere::list_messages
