// The release index reader: byte-order marks, then the JSON members.

#include <QByteArray>

#include "common/app_error.h"
#include "fuzz_target.h"
#include "update/release_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString fileName;
    QString version;
    QString website;
    try {
        quillmere::readReleaseIndex(quillmere::decodeReleaseIndex(bytes),
                                    {fileName, version, website});
    } catch (const quillmere::AppError&) {
    }
    return 0;
}
