#include "imaging/peek/peek_source.h"

namespace quillmere::peek {

bool PeekSource::read(std::uint64_t offset, std::span<std::uint8_t> into) const {
    if (!holds(offset, into.size())) return false;
    if (into.empty()) return true;
    return read_(offset, into) == into.size();
}

}  // namespace quillmere::peek
