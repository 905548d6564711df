// The whole load step of a conversion: reading a JPEG file and normalising
// the decoded graphic to the 24-bit bitmap the converter works on.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_measure.h"
#include "bench_pictures.h"
#include "imaging/image_process.h"
#include "imaging/picture_file.h"

namespace quillmere::bench {

namespace {

void LoadNormalise(benchmark::State& state) {
    QString path;
    if (!prepare(state, [&] { path = jpegPictureFile(); })) return;
    measureMegapixels(state, [&] {
        std::unique_ptr<Graphic> graphic = decodePictureFile(path);
        Bitmap24 bitmap = normaliseGraphic(*graphic);
        benchmark::DoNotOptimize(bitmap.bits());
        benchmark::ClobberMemory();
        return hasPictureSize(bitmap.width(), bitmap.height());
    });
}

}  // namespace

BENCHMARK(LoadNormalise)->Name("LoadNormalise/Jpeg")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace quillmere::bench
