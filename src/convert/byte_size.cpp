#include "convert/byte_size.h"

#include <array>
#include <limits>

namespace quillmere {

namespace {

// The power of 1024 a unit stands for; -1 for no unit this parser knows.
int unitPower(QStringView unit) {
    static constexpr std::array<char16_t, 5> kPrefixes = {u'\0', u'k', u'm', u'g', u't'};
    if (unit.isEmpty() || unit.compare(u"b", Qt::CaseInsensitive) == 0) return 0;
    for (int power = 1; power < static_cast<int>(kPrefixes.size()); ++power) {
        if (unit.front().toLower() != kPrefixes[static_cast<std::size_t>(power)]) continue;
        const QStringView rest = unit.mid(1);
        if (rest.isEmpty() || rest.compare(u"b", Qt::CaseInsensitive) == 0 ||
            rest.compare(u"ib", Qt::CaseInsensitive) == 0) {
            return power;
        }
        return -1;
    }
    return -1;
}

}  // namespace

std::optional<std::uint64_t> parseByteSize(QStringView text) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    qsizetype digits = 0;
    std::uint64_t value = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') {
        const auto digit = static_cast<std::uint64_t>(text[digits].unicode() - u'0');
        if (value > (kMax - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
        ++digits;
    }
    if (digits == 0 || value == 0) return std::nullopt;
    const int power = unitPower(text.mid(digits));
    if (power < 0) return std::nullopt;
    for (int i = 0; i < power; ++i) {
        if (value > kMax / 1024) return std::nullopt;
        value *= 1024;
    }
    return value;
}

}  // namespace quillmere
