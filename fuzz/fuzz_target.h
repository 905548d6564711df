#pragma once

#include <cstddef>
#include <cstdint>

// Every fuzz target defines this; libFuzzer calls it with each input, and
// the replay program with each file of the target's corpus.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Defined by targets that need set-up before their first input.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
