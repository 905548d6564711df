#pragma once

#include <QString>
#include <cstdint>

namespace quillmere {

// The bytes converting the file at `source` into `formatItem` holds at its
// peak, from the file's size and its header, read without decoding it.
std::uint64_t entryCostOf(const QString& source, const QString& formatItem);

}  // namespace quillmere
