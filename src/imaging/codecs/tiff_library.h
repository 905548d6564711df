#pragma once

#include <tiffio.h>

namespace quillmere {

// The libtiff functions the engine calls, from libtiff loaded the first
// time a TIFF file is read or written: linked, libtiff and the libraries
// it brings (WebP, LZMA, LERC, JBIG, libdeflate) would be loaded at every
// start of the command line, which mostly converts other formats.
struct TiffLibrary {
    decltype(&::TIFFClientOpen) clientOpen;
    decltype(&::TIFFClientOpenExt) clientOpenExt;
    decltype(&::TIFFOpenOptionsAlloc) openOptionsAlloc;
    decltype(&::TIFFOpenOptionsFree) openOptionsFree;
    decltype(&::TIFFOpenOptionsSetMaxSingleMemAlloc) openOptionsSetMaxSingleMemAlloc;
    decltype(&::TIFFSetErrorHandler) setErrorHandler;
    decltype(&::TIFFSetWarningHandler) setWarningHandler;
    decltype(&::TIFFClose) close;
    decltype(&::TIFFGetField) getField;
    decltype(&::TIFFGetFieldDefaulted) getFieldDefaulted;
    decltype(&::TIFFSetField) setField;
    decltype(&::TIFFIsTiled) isTiled;
    decltype(&::TIFFReadScanline) readScanline;
    decltype(&::TIFFScanlineSize64) scanlineSize64;
    decltype(&::TIFFRGBAImageOK) rgbaImageOk;
    decltype(&::TIFFReadRGBAImageOriented) readRgbaImageOriented;
    decltype(&::TIFFDefaultStripSize) defaultStripSize;
    decltype(&::TIFFWriteScanline) writeScanline;
    decltype(&::TIFFWriteDirectory) writeDirectory;
};

// Loads libtiff (QUILLMERE_TIFF_LIBRARY, its soname) once, on any thread.
// Throws an AppError saying why when it cannot be loaded.
const TiffLibrary& tiffLibrary();

}  // namespace quillmere
