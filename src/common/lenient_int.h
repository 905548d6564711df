#pragma once

#include <QStringView>
#include <cstdint>

namespace quillmere {

// Reads an integer the lenient way users of the program are used to:
// leading blanks, an optional sign, decimal digits or hexadecimal digits
// after "$", "x" or "0x". Anything else (an empty text, a trailing blank, a
// stray character, a decimal value outside the signed 32-bit range, a
// hexadecimal value wider than 32 bits) gives the fallback.
std::int32_t readLenientInt(QStringView text, std::int32_t fallback = 0);

}  // namespace quillmere
