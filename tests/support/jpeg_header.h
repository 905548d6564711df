#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace quillmere::test {

// What a decoder sees in the header of a JPEG file.
struct JpegHeader {
    std::array<unsigned, 64> luminance{};
    std::array<unsigned, 64> chrominance{};
    bool jfif = false;
    int jfifMajor = 0, jfifMinor = 0, densityUnit = -1, xDensity = 0, yDensity = 0;
    bool progressive = true, arithmetic = true;
    int components = 0;
    int samplingY[2] = {}, samplingCb[2] = {}, samplingCr[2] = {};
    int tableOfCb = -1;
    unsigned restartInterval = 1;
    int width = 0, height = 0;
};

// Reads the header of a well-formed JPEG file with libjpeg.
JpegHeader readJpegHeader(const std::vector<std::uint8_t>& file);

}  // namespace quillmere::test
