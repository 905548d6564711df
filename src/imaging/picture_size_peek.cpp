#include "imaging/picture_size_peek.h"

#include <algorithm>
#include <cstring>

#include "imaging/peek/peek_source.h"

namespace quillmere {

std::optional<PictureSize> peekPictureSize(GraphicKind kind, const ReadAt& read,
                                           std::uint64_t fileSize) {
    const peek::PeekSource file(read, fileSize);
    switch (kind) {
        case GraphicKind::Bitmap:
            return peek::peekBmp(file);
        case GraphicKind::Icon:
            return peek::peekIcon(file);
        case GraphicKind::Metafile:
            return peek::peekMetafile(file);
        case GraphicKind::Jpeg:
            return peek::peekJpeg(file);
        case GraphicKind::Png:
            return peek::peekPng(file);
        case GraphicKind::Gif:
            return peek::peekGif(file);
        case GraphicKind::ImagingComponent:
            return peek::peekTiff(file);
    }
    return std::nullopt;
}

std::optional<PictureSize> peekPictureSize(GraphicKind kind, std::span<const std::uint8_t> file) {
    const ReadAt read = [file](std::uint64_t offset, std::span<std::uint8_t> into) -> std::size_t {
        if (offset >= file.size()) return 0;
        const std::size_t count = std::min<std::uint64_t>(into.size(), file.size() - offset);
        std::memcpy(into.data(), file.data() + offset, count);
        return count;
    };
    return peekPictureSize(kind, read, file.size());
}

}  // namespace quillmere
