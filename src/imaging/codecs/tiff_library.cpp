#include "imaging/codecs/tiff_library.h"

#include <dlfcn.h>

#include <QString>

#include "common/app_error.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

template <typename Function>
bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Empty `problem` when every function was found.
TiffLibrary load(QString& problem) {
    TiffLibrary t{};
    void* library = ::dlopen(QUILLMERE_TIFF_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = ::dlerror();
        problem = error ? QString::fromLocal8Bit(error) : QStringLiteral(QUILLMERE_TIFF_LIBRARY);
        return t;
    }
    const bool found = resolve(library, "TIFFClientOpen", t.clientOpen) &&
                       resolve(library, "TIFFClientOpenExt", t.clientOpenExt) &&
                       resolve(library, "TIFFOpenOptionsAlloc", t.openOptionsAlloc) &&
                       resolve(library, "TIFFOpenOptionsFree", t.openOptionsFree) &&
                       resolve(library, "TIFFOpenOptionsSetMaxSingleMemAlloc",
                               t.openOptionsSetMaxSingleMemAlloc) &&
                       resolve(library, "TIFFSetErrorHandler", t.setErrorHandler) &&
                       resolve(library, "TIFFSetWarningHandler", t.setWarningHandler) &&
                       resolve(library, "TIFFClose", t.close) &&
                       resolve(library, "TIFFGetField", t.getField) &&
                       resolve(library, "TIFFGetFieldDefaulted", t.getFieldDefaulted) &&
                       resolve(library, "TIFFSetField", t.setField) &&
                       resolve(library, "TIFFIsTiled", t.isTiled) &&
                       resolve(library, "TIFFReadScanline", t.readScanline) &&
                       resolve(library, "TIFFScanlineSize64", t.scanlineSize64) &&
                       resolve(library, "TIFFRGBAImageOK", t.rgbaImageOk) &&
                       resolve(library, "TIFFReadRGBAImageOriented", t.readRgbaImageOriented) &&
                       resolve(library, "TIFFDefaultStripSize", t.defaultStripSize) &&
                       resolve(library, "TIFFWriteScanline", t.writeScanline) &&
                       resolve(library, "TIFFWriteDirectory", t.writeDirectory);
    if (!found) {
        const char* error = ::dlerror();
        problem = error ? QString::fromLocal8Bit(error) : QStringLiteral(QUILLMERE_TIFF_LIBRARY);
    }
    return t;
}

struct Loaded {
    QString problem;
    TiffLibrary library;
    Loaded() : library(load(problem)) {}
};

}  // namespace

const TiffLibrary& tiffLibrary() {
    static const Loaded loaded;
    if (!loaded.problem.isEmpty()) {
        throw AppError(imaging_messages::tiffLibraryMissing(loaded.problem));
    }
    return loaded.library;
}

}  // namespace quillmere
