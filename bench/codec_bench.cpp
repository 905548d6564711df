// Encoding and decoding of the 12-megapixel picture in memory, one format
// at a time.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "bench_measure.h"
#include "bench_pictures.h"
#include "imaging/picture_encoding.h"
#include "imaging/picture_file.h"

namespace quillmere::bench {

namespace {

void Encode(benchmark::State& state, EncoderKind encoder) {
    const Bitmap24* picture = nullptr;
    if (!prepare(state, [&] { picture = &benchPicture(); })) return;
    measureMegapixels(state, [&] {
        std::vector<std::uint8_t> file = encodePicture(*picture, encoder, kJpegQuality);
        benchmark::DoNotOptimize(file.data());
        benchmark::ClobberMemory();
        return !file.empty();
    });
}

void Decode(benchmark::State& state, GraphicKind kind) {
    std::span<const std::uint8_t> file;
    if (!prepare(state, [&] { file = encodedPicture(kind); })) return;
    measureMegapixels(state, [&] {
        std::unique_ptr<Graphic> graphic = decodeGraphic(kind, file);
        benchmark::DoNotOptimize(graphic.get());
        benchmark::ClobberMemory();
        return hasPictureSize(graphic->width(), graphic->height());
    });
}

}  // namespace

BENCHMARK_CAPTURE(Encode, Bmp, EncoderKind::Bmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Encode, Jpeg, EncoderKind::Jpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Encode, Png, EncoderKind::Png)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Encode, Tiff, EncoderKind::Tiff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Encode, Gif, EncoderKind::Gif)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_CAPTURE(Decode, Bmp, GraphicKind::Bitmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Decode, Jpeg, GraphicKind::Jpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Decode, Png, GraphicKind::Png)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Decode, Tiff, GraphicKind::ImagingComponent)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Decode, Gif, GraphicKind::Gif)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace quillmere::bench
