// The EMF and WMF player, as the engine calls it for a .wmf or .emf file.
// Text is drawn with fonts, so the GUI application object is made first,
// on the offscreen platform.

#include <QGuiApplication>
#include <cstdlib>

#include "fuzz_target.h"
#include "picture_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmere::fuzzing::decodeAsEngineDoes(quillmere::GraphicKind::Metafile, data, size);
    return 0;
}
