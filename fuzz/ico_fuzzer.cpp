// The icon decode path (the choice of image, then Qt's reader), as the
// engine calls it for a .ico file.

#include "fuzz_target.h"
#include "picture_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmere::fuzzing::decodeAsEngineDoes(quillmere::GraphicKind::Icon, data, size);
    return 0;
}
