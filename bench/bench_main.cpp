#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include "common/memory_tuning.h"

// Qt's image readers (the BMP decoder uses one) find their plug-ins through
// the application object.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The engine's benchmarks hold one picture at a time: the least reserve.
    quillmere::keepPictureBuffersForReuse(0);
    QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
