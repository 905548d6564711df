#pragma once

#include <benchmark/benchmark.h>

#include <exception>

#include "bench_pictures.h"

namespace quillmere::bench {

// Runs one step per iteration and reports the rate in megapixels of the
// benchmark picture per second. A step returns false when its result is
// wrong; that, or an exception, ends the benchmark with the error shown.
template <typename Step>
void measureMegapixels(benchmark::State& state, Step step) {
    try {
        for (auto _ : state) {
            if (!step()) {
                state.SkipWithError("the result does not have the picture's size");
                break;
            }
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    state.counters["MP/s"] = benchmark::Counter(
        kPictureMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Runs `setup` outside the timing; false, with the error shown, when it
// throws.
template <typename Setup>
bool prepare(benchmark::State& state, Setup setup) {
    try {
        setup();
        return true;
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return false;
    }
}

}  // namespace quillmere::bench
