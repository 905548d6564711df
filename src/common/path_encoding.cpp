#include "common/path_encoding.h"

namespace quillmere {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

// The length of the valid UTF-8 sequence starting at `at`, or 0.
qsizetype validSequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(at);
    qsizetype length = 0;
    char32_t minimum = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) return 0;
    for (qsizetype i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

QString decodePath(QByteArrayView bytes) {
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
        } else if (const qsizetype length = validSequenceLength(bytes, at); length > 0) {
            at += length;
        } else {
            break;
        }
    }
    if (at == bytes.size()) return QString::fromUtf8(bytes);

    QString text = QString::fromUtf8(bytes.first(at));
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const qsizetype length = lead < 0x80 ? 1 : validSequenceLength(bytes, at);
        if (length > 0) {
            text += QString::fromUtf8(bytes.sliced(at, length));
            at += length;
        } else {
            text += QChar(static_cast<char16_t>(kEscapeBase + lead));
            ++at;
        }
    }
    return text;
}

QByteArray encodePath(const QString& path) {
    bool escaped = false;
    for (const QChar c : path) escaped = escaped || isEscapedByte(c.unicode());
    if (!escaped) return path.toUtf8();

    QByteArray bytes;
    bytes.reserve(path.size() * 2);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        // A low surrogate after a high one is half of a real character.
        const bool paired = i > 0 && QChar::isHighSurrogate(path[i - 1].unicode());
        if (isEscapedByte(unit) && !paired) {
            bytes += QStringView(path).sliced(runStart, i - runStart).toUtf8();
            bytes += static_cast<char>(unit - kEscapeBase);
            runStart = i + 1;
        }
    }
    bytes += QStringView(path).sliced(runStart).toUtf8();
    return bytes;
}

QString fileUriOf(const QString& absolutePath) {
    return QStringLiteral("file://") +
           QString::fromLatin1(encodePath(absolutePath).toPercentEncoding("/"));
}

}  // namespace quillmere
