// The PNG decode path, as the engine calls it for a .png file.

#include "fuzz_target.h"
#include "picture_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmere::fuzzing::decodeAsEngineDoes(quillmere::GraphicKind::Png, data, size);
    return 0;
}
