// The EMF and WMF player, as the engine calls it for a .wmf or .emf file.
// Text is drawn with fonts, so the GUI application object is made first,
// on the offscreen platform, and lives until the process ends.

#include <QGuiApplication>
#include <cstdlib>

#include "fuzz_target.h"
#include "imaging/metafile/decoder.h"
#include "imaging/metafile_playback.h"
#include "picture_fuzzing.h"

// fontconfig keeps the fonts Qt has asked for in caches it only frees on
// its own shutdown, which Qt never calls; the leak checker would blame them
// on whatever input ran last.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quillmere::setMetafilePlayer(quillmere::decodeMetafile);
    static QGuiApplication* const application = new QGuiApplication(*argc, *argv);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmere::fuzzing::decodeAsEngineDoes(quillmere::GraphicKind::Metafile, data, size);
    return 0;
}
