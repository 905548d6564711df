#include "imaging/codecs/octree_quantizer.h"

namespace quillmere {

OctreeQuantizer::OctreeQuantizer() {
    nodes_.reserve(1024);
}

std::int32_t OctreeQuantizer::newNode(int level) {
    std::int32_t index;
    if (!freeNodes_.empty()) {
        index = freeNodes_.back();
        freeNodes_.pop_back();
        nodes_[static_cast<std::size_t>(index)] = Node();
    } else {
        index = static_cast<std::int32_t>(nodes_.size());
        nodes_.emplace_back();
    }
    Node& node = nodes_[static_cast<std::size_t>(index)];
    node.level = static_cast<std::int8_t>(level);
    if (level == kLeafLevel) {
        node.leaf = true;
        ++leafCount_;
    } else {
        node.nextReducible = reducible_[static_cast<std::size_t>(level)];
        reducible_[static_cast<std::size_t>(level)] = index;
    }
    return index;
}

void OctreeQuantizer::freeNode(std::int32_t index) {
    freeNodes_.push_back(index);
}

void OctreeQuantizer::addPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (root_ == kNone) root_ = newNode(0);
    std::int32_t index = root_;
    while (!nodes_[static_cast<std::size_t>(index)].leaf) {
        const int level = nodes_[static_cast<std::size_t>(index)].level;
        const int shift = 7 - level;
        const std::size_t child = static_cast<std::size_t>(
            ((r >> shift) & 1) << 2 | ((g >> shift) & 1) << 1 | ((b >> shift) & 1));
        std::int32_t next = nodes_[static_cast<std::size_t>(index)].children[child];
        if (next == kNone) {
            next = newNode(level + 1);  // may move nodes_: index again below
            nodes_[static_cast<std::size_t>(index)].children[child] = next;
        }
        index = next;
    }
    Node& leaf = nodes_[static_cast<std::size_t>(index)];
    ++leaf.count;
    leaf.red += r;
    leaf.green += g;
    leaf.blue += b;

    while (leafCount_ > kMaxLeaves) reduceOnce();
}

void OctreeQuantizer::addBitmap(const Bitmap24& bitmap) {
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* p = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, p += 3) addPixel(p[0], p[1], p[2]);
    }
}

void OctreeQuantizer::reduceOnce() {
    int level = kLeafLevel - 1;
    while (level > 0 && reducible_[static_cast<std::size_t>(level)] == kNone) --level;
    const std::int32_t index = reducible_[static_cast<std::size_t>(level)];
    if (index == kNone) return;

    Node& node = nodes_[static_cast<std::size_t>(index)];
    reducible_[static_cast<std::size_t>(level)] = node.nextReducible;
    int children = 0;
    for (std::int32_t& child : node.children) {
        if (child == kNone) continue;
        const Node& folded = nodes_[static_cast<std::size_t>(child)];
        node.count += folded.count;
        node.red += folded.red;
        node.green += folded.green;
        node.blue += folded.blue;
        freeNode(child);
        child = kNone;
        ++children;
    }
    node.leaf = true;
    leafCount_ -= children - 1;
}

void OctreeQuantizer::readPalette(std::int32_t index, std::vector<Rgb>& palette) const {
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    if (node.leaf) {
        if (node.count == 0) {
            palette.push_back({0, 0, 0});
        } else {
            palette.push_back({static_cast<std::uint8_t>(node.red / node.count),
                               static_cast<std::uint8_t>(node.green / node.count),
                               static_cast<std::uint8_t>(node.blue / node.count)});
        }
        return;
    }
    for (std::int32_t child : node.children) {
        if (child != kNone && palette.size() < kMaxLeaves) readPalette(child, palette);
    }
}

std::vector<Rgb> OctreeQuantizer::palette() const {
    std::vector<Rgb> palette;
    palette.reserve(kMaxLeaves);
    if (root_ != kNone) readPalette(root_, palette);
    return palette;
}

}  // namespace quillmere
