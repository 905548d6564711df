#include "imaging/metafile/reader.h"

#include <bit>
#include <limits>

#include "common/app_error.h"
#include "imaging/imaging_messages.h"

namespace quillmere::metafile {

void failInvalid() {
    throw InvalidPictureError(imaging_messages::metafileNotValid());
}

bool RecordView::holdsArray(std::size_t offset, std::uint64_t count,
                            std::size_t elementSize) const {
    if (offset > bytes_.size()) return false;
    const std::uint64_t room = bytes_.size() - offset;
    return elementSize == 0 || count <= room / elementSize;
}

void RecordView::require(std::size_t offset, std::size_t count) const {
    if (!holds(offset, count)) failInvalid();
}

void RecordView::requireArray(std::size_t offset, std::uint64_t count,
                              std::size_t elementSize) const {
    if (!holdsArray(offset, count, elementSize)) failInvalid();
}

std::uint8_t RecordView::u8(std::size_t offset) const {
    require(offset, 1);
    return bytes_[offset];
}

std::uint16_t RecordView::u16(std::size_t offset) const {
    require(offset, 2);
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::uint32_t RecordView::u32(std::size_t offset) const {
    require(offset, 4);
    return static_cast<std::uint32_t>(bytes_[offset]) |
           (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
}

float RecordView::f32(std::size_t offset) const {
    static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4);
    return std::bit_cast<float>(u32(offset));
}

RecordView RecordView::sub(std::size_t offset, std::size_t count) const {
    require(offset, count);
    return RecordView(bytes_.subspan(offset, count));
}

RecordView RecordView::from(std::size_t offset) const {
    require(offset, 0);
    return RecordView(bytes_.subspan(offset));
}

}  // namespace quillmere::metafile
