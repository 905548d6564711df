// The metafile player as a plug-in, for the programs that load it only
// when a metafile is to be played (the command line). Its one exported
// symbol gives the table of metafile_plugin_interface.h.

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/app_error.h"
#include "imaging/metafile/decoder.h"
#include "imaging/metafile_plugin_interface.h"

namespace {

void* start(int* argc, char** argv) {
    // Fonts need the GUI application object; the offscreen platform gives
    // it without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(*argc, argv);
}

void end(void* started) {
    delete static_cast<QGuiApplication*>(started);
}

void copyMessage(const char* text, char* message, size_t size) {
    if (size == 0) return;
    const size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(message, text, length);
    message[length] = '\0';
}

int play(const unsigned char* bytes, size_t size, const QuillmereMetafileTarget* target,
         char* message, size_t messageSize) {
    try {
        const quillmere::Bitmap24 picture =
            quillmere::decodeMetafile(std::span<const std::uint8_t>(bytes, size));
        unsigned char* out = target->allocate(target->context, picture.width(), picture.height());
        if (!out && !picture.isEmpty()) return QUILLMERE_METAFILE_NO_MEMORY;
        if (out) std::memcpy(out, picture.bits(), picture.byteCount());
        return QUILLMERE_METAFILE_PLAYED;
    } catch (const quillmere::InvalidPictureError& error) {
        copyMessage(error.what(), message, messageSize);
        return QUILLMERE_METAFILE_INVALID;
    } catch (const std::bad_alloc&) {
        return QUILLMERE_METAFILE_NO_MEMORY;
    } catch (const std::exception& error) {
        copyMessage(error.what(), message, messageSize);
        return QUILLMERE_METAFILE_FAILED;
    }
}

constexpr QuillmereMetafilePlugin kPlugin = {QUILLMERE_METAFILE_PLUGIN_VERSION, start, end, play};

}  // namespace

extern "C" __attribute__((visibility("default"))) const QuillmereMetafilePlugin*
quillmere_metafile_plugin() {
    return &kPlugin;
}
