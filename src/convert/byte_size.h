#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace quillmere {

// A size in bytes as a user writes it for `--memory-limit`: whole digits
// with an optional unit, any case. K, M, G and T, with or without "B" or
// "iB" after them (KB, KiB, ...), all count in powers of 1024, as memory
// is sized; "B" or nothing means bytes. No spaces, signs or fractions.
// Empty for zero, for a value beyond 64 bits and for anything else.
std::optional<std::uint64_t> parseByteSize(QStringView text);

}  // namespace quillmere
