#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// Builds an adaptive palette of at most 256 colours with an octree six
// levels deep (six significant bits a channel). Pixels are added one at a
// time; whenever the tree holds more than 256 leaves, the most recently
// created inner node of the deepest level that has one is folded into a
// leaf. The palette is read depth-first, children in index order.
class OctreeQuantizer {
  public:
    static constexpr int kMaxLeaves = 256;
    static constexpr int kLeafLevel = 6;

    OctreeQuantizer();

    void addPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Adds every pixel, rows top-down, each row left to right.
    void addBitmap(const Bitmap24& bitmap);

    int leafCount() const { return leafCount_; }
    std::vector<Rgb> palette() const;

  private:
    static constexpr std::int32_t kNone = -1;

    struct Node {
        std::uint64_t count = 0;
        std::uint64_t red = 0;
        std::uint64_t green = 0;
        std::uint64_t blue = 0;
        std::array<std::int32_t, 8> children{kNone, kNone, kNone, kNone,
                                             kNone, kNone, kNone, kNone};
        std::int32_t nextReducible = kNone;
        std::int8_t level = 0;
        bool leaf = false;
    };

    std::int32_t newNode(int level);
    void freeNode(std::int32_t index);
    void reduceOnce();
    void readPalette(std::int32_t index, std::vector<Rgb>& palette) const;

    std::vector<Node> nodes_;
    std::vector<std::int32_t> freeNodes_;
    std::int32_t root_ = kNone;
    int leafCount_ = 0;
    std::array<std::int32_t, kLeafLevel> reducible_{kNone, kNone, kNone, kNone, kNone, kNone};
};

}  // namespace quillmere
