// The engine's BMP and icon readers against Qt's on the same bytes, each
// input read both as a BMP file and as an icon file: anything but the same
// pixels, the same refusal or one of the known differences
// (reader_comparison.h) is a finding.

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "fuzz_target.h"
#include "imaging/qt_reference/reader_comparison.h"

namespace {

// Qt's readers warn on stderr about most fuzzed inputs.
void dropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler(dropQtMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quillmere::ComparedReader;
    const std::span<const std::uint8_t> bytes(data, size);
    for (const ComparedReader reader : {ComparedReader::Bitmap, ComparedReader::Icon}) {
        const quillmere::ReaderComparison c = quillmere::compareWithQt(reader, bytes);
        if (!c.agree) {
            std::fprintf(stderr, "the readers differ on this input as %s: engine %s; Qt %s\n",
                         reader == ComparedReader::Bitmap ? "BMP" : "ICO", c.engine.c_str(),
                         c.qt.c_str());
            std::abort();
        }
    }
    return 0;
}
