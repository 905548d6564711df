#include "preview/zoom_readouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace quillmere {

namespace {

// The value with two decimals, rounded half away from zero on its decimal
// digits as printed to 17 significant digits (12.345, stored as
// 12.3449999..., becomes 12.35).
std::string twoDecimals(double value) {
    if (!std::isfinite(value)) return std::to_string(value);
    const bool negative = std::signbit(value);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16e", std::fabs(value));
    // buffer: d.dddddddddddddddde+XX
    std::string digits;
    digits += buffer[0];
    digits.append(buffer + 2, 16);
    const int exponent = std::atoi(buffer + 19);

    // The digits kept: those of the integer part and two decimals.
    const int kept = exponent + 1 + 2;
    std::string scaled;  // the kept digits as an integer count of hundredths
    if (kept <= 0) {
        scaled = (kept == 0 && digits[0] >= '5') ? "1" : "0";
    } else if (kept >= static_cast<int>(digits.size())) {
        scaled = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    } else {
        scaled = digits.substr(0, static_cast<std::size_t>(kept));
        if (digits[static_cast<std::size_t>(kept)] >= '5') {
            int i = static_cast<int>(scaled.size()) - 1;
            for (; i >= 0 && scaled[static_cast<std::size_t>(i)] == '9'; --i) {
                scaled[static_cast<std::size_t>(i)] = '0';
            }
            if (i < 0) {
                scaled.insert(scaled.begin(), '1');
            } else {
                ++scaled[static_cast<std::size_t>(i)];
            }
        }
    }
    while (scaled.size() < 3) scaled.insert(scaled.begin(), '0');
    std::string integer = scaled.substr(0, scaled.size() - 2);
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
    return (negative ? "-" : "") + integer + '.' + scaled.substr(scaled.size() - 2);
}

}  // namespace

QString zoomRateText(double percent, const QLocale& locale) {
    QString text = QString::fromStdString(twoDecimals(percent));
    text.replace(u'.', locale.decimalPoint());
    return text.rightJustified(3, u' ') + u'%';
}

QString imageSizeText(int width, int height) {
    return QStringLiteral("Size: %1*%2").arg(width, 4).arg(height, 4);
}

QString controlSizeText(int width, int height) {
    return QStringLiteral("w:%1 h:%2").arg(width, 3).arg(height, 3);
}

}  // namespace quillmere
