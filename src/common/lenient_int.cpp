#include "common/lenient_int.h"

namespace quillmere {

namespace {

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

}  // namespace

std::int32_t readLenientInt(QStringView text, std::int32_t fallback) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ') ++i;

    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    bool hex = false;
    if (i < n && text[i] == u'$') {
        hex = true;
        ++i;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }

    if (i >= n) return fallback;

    std::uint64_t value = 0;
    if (hex) {
        for (; i < n; ++i) {
            const int digit = hexDigitValue(text[i]);
            if (digit < 0) return fallback;
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFull) return fallback;
        }
        // A hexadecimal text names the 32 bits themselves: $FFFFFFFF is -1.
        const auto bits = static_cast<std::uint32_t>(value);
        const auto signedValue = static_cast<std::int32_t>(bits);
        return negative ? static_cast<std::int32_t>(0u - bits) : signedValue;
    }

    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9') return fallback;
        value = value * 10 + (u - u'0');
        if (value > 0x80000000ull) return fallback;
    }
    if (negative) return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    if (value > 0x7FFFFFFFull) return fallback;
    return static_cast<std::int32_t>(value);
}

}  // namespace quillmere
