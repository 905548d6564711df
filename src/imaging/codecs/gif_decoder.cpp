#include "imaging/codecs/gif_decoder.h"

#include <gif_lib.h>

#include <QString>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "common/app_error.h"
#include "imaging/codecs/picture_limits.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

bool isGifSignatureAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (bytes.size() < offset + 3) return false;
    const auto upper = [](std::uint8_t c) { return static_cast<char>(c & ~0x20u); };
    return upper(bytes[offset]) == 'G' && upper(bytes[offset + 1]) == 'I' &&
           upper(bytes[offset + 2]) == 'F';
}

// Serves the file to giflib from `start`, the signature spelled as giflib
// expects it.
struct GifSource {
    std::span<const std::uint8_t> bytes;
    std::size_t start = 0;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t available = source->bytes.size() - source->position;
    const std::size_t count = std::min(available, static_cast<std::size_t>(std::max(length, 0)));
    std::memcpy(out, source->bytes.data() + source->position, count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = source->position + i - source->start;
        if (at < 3) out[i] = static_cast<GifByteType>("GIF"[at]);
    }
    source->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void throwGifError(int code) {
    const char* text = GifErrorString(code);
    throw InvalidPictureError(text ? QString::fromUtf8(text)
                                   : QStringLiteral("GIF error %1").arg(code));
}

void check(GifFileType* gif, int result) {
    if (result == GIF_ERROR) throwGifError(gif->Error);
}

Rgb colourAt(const ColorMapObject* map, int index) {
    if (!map || index < 0 || index >= map->ColorCount) return {0, 0, 0};
    const GifColorType& c = map->Colors[index];
    return {c.Red, c.Green, c.Blue};
}

// Reads one extension; a graphic control extension sets the transparent
// index of the frame that follows it (or clears it).
void readExtension(GifFileType* gif, std::optional<int>& transparentIndex) {
    int code = 0;
    GifByteType* block = nullptr;
    check(gif, DGifGetExtension(gif, &code, &block));
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        transparentIndex = (block[1] & 0x01) ? std::optional<int>(block[4]) : std::nullopt;
    }
    while (block) check(gif, DGifGetExtensionNext(gif, &block));
}

void fillScreen(Bitmap24& screen, Rgb colour) {
    for (int y = 0; y < screen.height(); ++y) {
        std::uint8_t* p = screen.row(y);
        for (int x = 0; x < screen.width(); ++x, p += 3) {
            p[0] = colour.r;
            p[1] = colour.g;
            p[2] = colour.b;
        }
    }
}

// The rows of a frame in the order the file stores them.
std::vector<int> storedRowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    constexpr std::array<int, 4> kStart{0, 4, 2, 1};
    constexpr std::array<int, 4> kStep{8, 8, 4, 2};
    for (std::size_t pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    }
    return order;
}

void drawFirstFrame(GifFileType* gif, Bitmap24& screen, std::optional<int> transparentIndex) {
    check(gif, DGifGetImageDesc(gif));
    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0) {
        fillScreen(screen, {255, 255, 255});
        return;
    }
    if (!fitsPictureLimits(frame.Width, frame.Height)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(frame.Width, frame.Height));
    }
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;

    // The screen starts unpainted: only what the frame leaves uncovered,
    // or the whole of it under a transparent index, gets a ground colour.
    const bool coversScreen = frame.Left <= 0 && frame.Top <= 0 &&
                              frame.Left + frame.Width >= screen.width() &&
                              frame.Top + frame.Height >= screen.height();
    if (transparentIndex) {
        const Rgb background =
            gif->SColorMap ? colourAt(gif->SColorMap, gif->SBackGroundColor) : Rgb{255, 255, 255};
        fillScreen(screen, background);
    } else if (!coversScreen) {
        fillScreen(screen, {255, 255, 255});
    }

    std::array<Rgb, 256> palette{};
    for (int i = 0; i < 256; ++i) palette[static_cast<std::size_t>(i)] = colourAt(map, i);

    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    const int visibleFrom = std::max(0, -frame.Left);
    const int visibleTo = std::min(frame.Width, screen.width() - frame.Left);
    for (int y : storedRowOrder(frame.Height, frame.Interlace)) {
        check(gif, DGifGetLine(gif, line.data(), frame.Width));
        const int screenY = frame.Top + y;
        if (screenY < 0 || screenY >= screen.height()) continue;
        std::uint8_t* out = screen.row(screenY);
        for (int x = visibleFrom; x < visibleTo; ++x) {
            const Rgb& c = palette[line[static_cast<std::size_t>(x)]];
            std::uint8_t* p = out + 3 * static_cast<std::size_t>(frame.Left + x);
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    }
}

}  // namespace

Bitmap24 decodeGif(std::span<const std::uint8_t> bytes) {
    GifSource source{bytes, 0, 0};
    if (isGifSignatureAt(bytes, 0)) {
        source.start = 0;
    } else if (isGifSignatureAt(bytes, 4)) {
        source.start = 4;
    } else {
        throw InvalidPictureError(imaging_messages::invalidGifSignature());
    }
    source.position = source.start;

    int openError = 0;
    GifHandle gif(DGifOpen(&source, readFromMemory, &openError));
    if (!gif) throwGifError(openError);

    if (!fitsPictureLimits(gif->SWidth, gif->SHeight)) {
        throw InvalidPictureError(imaging_messages::pictureTooLarge(gif->SWidth, gif->SHeight));
    }
    Bitmap24 screen = Bitmap24::uninitialised(gif->SWidth, gif->SHeight);

    std::optional<int> transparentIndex;
    while (true) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        check(gif.get(), DGifGetRecordType(gif.get(), &record));
        if (record == EXTENSION_RECORD_TYPE) {
            readExtension(gif.get(), transparentIndex);
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            drawFirstFrame(gif.get(), screen, transparentIndex);
            break;
        } else if (record == TERMINATE_RECORD_TYPE) {
            fillScreen(screen, {255, 255, 255});  // a file without an image
            break;
        }
    }
    return screen;
}

}  // namespace quillmere
