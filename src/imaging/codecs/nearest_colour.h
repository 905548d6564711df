#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// Finds the palette entry nearest a colour: the smallest squared difference
// in red, green and blue, the lowest index among equals. Each cell of a
// 32 x 32 x 32 grid over the colour cube keeps, once first asked, the few
// entries that can be nearest to any colour inside it, so a search looks at
// those only and still gives the exact answer.
class NearestColour {
  public:
    explicit NearestColour(const std::array<Rgb, 256>& palette);
    ~NearestColour();

    std::uint8_t find(int r, int g, int b);

    // The plain search over all 256 entries.
    static std::uint8_t findByScan(const std::array<Rgb, 256>& palette, int r, int g, int b);

  private:
    static constexpr int kCellBits = 3;  // 8 values a side
    static constexpr int kCellsPerSide = 256 >> kCellBits;

    const std::vector<std::uint8_t>& candidatesOf(int cell, int r, int g, int b);

    std::array<Rgb, 256> palette_;
    std::vector<std::unique_ptr<std::vector<std::uint8_t>>> cells_;
};

}  // namespace quillmere
