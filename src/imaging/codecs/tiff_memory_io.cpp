#include "imaging/codecs/tiff_memory_io.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

#include "imaging/codecs/picture_limits.h"
#include "imaging/codecs/tiff_library.h"

namespace quillmere {

namespace {

void silenceLibtiff() {
    static std::once_flag once;
    std::call_once(once, [] {
        tiffLibrary().setErrorHandler(nullptr);
        tiffLibrary().setWarningHandler(nullptr);
    });
}

toff_t seekTo(std::uint64_t& position, std::uint64_t size, toff_t offset, int whence) {
    std::int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<std::int64_t>(position);
    if (whence == SEEK_END) base = static_cast<std::int64_t>(size);
    const std::int64_t target = base + static_cast<std::int64_t>(offset);
    if (target < 0) return static_cast<toff_t>(-1);
    position = static_cast<std::uint64_t>(target);
    return position;
}

tmsize_t readerRead(thandle_t handle, void* out, tmsize_t size) {
    auto* r = static_cast<TiffMemoryReader*>(handle);
    if (size <= 0 || r->position >= r->bytes.size()) return 0;
    const auto count =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size), r->bytes.size() - r->position);
    std::memcpy(out, r->bytes.data() + r->position, count);
    r->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t readerWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t readerSeek(thandle_t handle, toff_t offset, int whence) {
    auto* r = static_cast<TiffMemoryReader*>(handle);
    return seekTo(r->position, r->bytes.size(), offset, whence);
}

toff_t readerSize(thandle_t handle) {
    return static_cast<TiffMemoryReader*>(handle)->bytes.size();
}

tmsize_t writerRead(thandle_t handle, void* out, tmsize_t size) {
    auto* w = static_cast<TiffMemoryWriter*>(handle);
    if (size <= 0 || w->position >= w->bytes.size()) return 0;
    const auto count =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size), w->bytes.size() - w->position);
    std::memcpy(out, w->bytes.data() + w->position, count);
    w->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writerWrite(thandle_t handle, void* data, tmsize_t size) {
    auto* w = static_cast<TiffMemoryWriter*>(handle);
    if (size < 0) return -1;
    const auto count = static_cast<std::uint64_t>(size);
    if (w->position + count > w->bytes.size()) w->bytes.resize(w->position + count);
    std::memcpy(w->bytes.data() + w->position, data, count);
    w->position += count;
    return size;
}

toff_t writerSeek(thandle_t handle, toff_t offset, int whence) {
    auto* w = static_cast<TiffMemoryWriter*>(handle);
    return seekTo(w->position, w->bytes.size(), offset, whence);
}

toff_t writerSize(thandle_t handle) {
    return static_cast<TiffMemoryWriter*>(handle)->bytes.size();
}

int closeNothing(thandle_t) {
    return 0;
}

int mapNothing(thandle_t, void**, toff_t*) {
    return 0;
}

// Reading maps the file's bytes in place: no copy, and libtiff reads
// uncompressed tiles of any size this way.
int mapReader(thandle_t handle, void** base, toff_t* size) {
    auto* r = static_cast<TiffMemoryReader*>(handle);
    *base = const_cast<std::uint8_t*>(r->bytes.data());
    *size = r->bytes.size();
    return 1;
}

void unmapNothing(thandle_t, void*, toff_t) {}

}  // namespace

TIFF* openTiffForReading(TiffMemoryReader& reader) {
    silenceLibtiff();
    // Holds each of libtiff's own buffers (a strip, a tile, a tag's values)
    // to what a picture within the limits can need, whatever the file
    // declares.
    const TiffLibrary& tiff = tiffLibrary();
    std::unique_ptr<TIFFOpenOptions, decltype(tiff.openOptionsFree)> options(
        tiff.openOptionsAlloc(), tiff.openOptionsFree);
    if (!options) throw std::bad_alloc();
    tiffLibrary().openOptionsSetMaxSingleMemAlloc(options.get(), picture_limits::kMaxCodecBuffer);
    return tiffLibrary().clientOpenExt("picture", "r", &reader, readerRead, readerWrite, readerSeek,
                                       closeNothing, readerSize, mapReader, unmapNothing,
                                       options.get());
}

TIFF* openTiffForWriting(TiffMemoryWriter& writer) {
    silenceLibtiff();
    return tiffLibrary().clientOpen("picture", "wm", &writer, writerRead, writerWrite, writerSeek,
                                    closeNothing, writerSize, mapNothing, unmapNothing);
}

}  // namespace quillmere
