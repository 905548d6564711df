#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quillmere {

// File names are bytes; the program shows and keeps them as text. Valid
// UTF-8 decodes as usual; every byte that is not part of valid UTF-8
// becomes the lone surrogate U+DC80 + (byte - 0x80), which encodes back to
// that byte, so every name on disk round-trips to the same file.
QString decodePath(QByteArrayView bytes);
QByteArray encodePath(const QString& path);

// The "file://" URI of a path, made from the bytes of its name, so that a
// name that is not UTF-8 still names its own file.
QString fileUriOf(const QString& absolutePath);

}  // namespace quillmere
