#include "imaging/codecs/png_encoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "imaging/codecs/png_decoder.h"
#include "support/picture_files.h"

namespace quillmere {
namespace {

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
    bool crcMatches = false;
};

std::uint32_t big32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::vector<Chunk> readChunks(const std::vector<std::uint8_t>& file) {
    static const std::vector<std::uint8_t> kSignature = {0x89, 'P',  'N',  'G',
                                                         '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(file.size() >= 8 && std::equal(kSignature.begin(), kSignature.end(), file.begin()));
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = big32(&file[at]);
        if (at + 12 + length > file.size()) break;
        Chunk chunk;
        chunk.type.assign(reinterpret_cast<const char*>(&file[at + 4]), 4);
        chunk.data.assign(file.begin() + static_cast<long>(at + 8),
                          file.begin() + static_cast<long>(at + 8 + length));
        const auto crc = crc32(0, &file[at + 4], 4 + length);
        chunk.crcMatches = crc == big32(&file[at + 8 + length]);
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last chunk";
    return chunks;
}

std::vector<std::uint8_t> joinedIdat(const std::vector<Chunk>& chunks) {
    std::vector<std::uint8_t> stream;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "IDAT") stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
    }
    return stream;
}

std::vector<std::uint8_t> inflateAll(const std::vector<std::uint8_t>& stream, std::size_t size) {
    std::vector<std::uint8_t> out(size + 1);
    uLongf outSize = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &outSize, stream.data(), static_cast<uLong>(stream.size())),
              Z_OK);
    out.resize(outSize);
    return out;
}

// Sub-filtered rows of a picture, the way the file must hold them.
std::vector<std::uint8_t> subFiltered(const Bitmap24& picture) {
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < picture.height(); ++y) {
        rows.push_back(1);
        for (std::size_t i = 0; i < picture.stride(); ++i) {
            const int left = i >= 3 ? picture.row(y)[i - 3] : 0;
            rows.push_back(static_cast<std::uint8_t>(picture.row(y)[i] - left));
        }
    }
    return rows;
}

TEST(PngEncoder, WritesOnlyHeaderDataAndEnd) {
    const Bitmap24 picture = test::photoLike(300, 7);
    const std::vector<Chunk> chunks = readChunks(encodePng(picture));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    for (const Chunk& chunk : chunks) EXPECT_TRUE(chunk.crcMatches) << chunk.type;

    const std::vector<std::uint8_t> expectedHeader = {0, 0, 1, 44, 0, 0, 0, 7, 8, 2, 0, 0, 0};
    EXPECT_EQ(chunks[0].data, expectedHeader);
}

TEST(PngEncoder, FiltersEveryRowWithSubAndDeflatesAtLevelSeven) {
    const Bitmap24 picture = test::photoLike(61, 40);
    const std::vector<std::uint8_t> stream = joinedIdat(readChunks(encodePng(picture)));
    const std::vector<std::uint8_t> expectedRows = subFiltered(picture);
    EXPECT_EQ(inflateAll(stream, expectedRows.size()), expectedRows);

    // zlib's own one-shot compression at level 7 with its default window,
    // memory level and strategy gives the very same stream.
    std::vector<std::uint8_t> reference(compressBound(static_cast<uLong>(expectedRows.size())));
    uLongf referenceSize = static_cast<uLongf>(reference.size());
    ASSERT_EQ(compress2(reference.data(), &referenceSize, expectedRows.data(),
                        static_cast<uLong>(expectedRows.size()), 7),
              Z_OK);
    reference.resize(referenceSize);
    EXPECT_EQ(stream, reference);
}

TEST(PngEncoder, SplitsTheDataIntoFullChunksAndARest) {
    // Noise hardly compresses: 300 x 160 pixels give about 144,000 bytes.
    Bitmap24 noise = Bitmap24::uninitialised(300, 160);
    unsigned state = 7;
    for (int y = 0; y < noise.height(); ++y) {
        for (std::size_t i = 0; i < noise.stride(); ++i) {
            state = state * 1103515245u + 12345u;
            noise.row(y)[i] = static_cast<std::uint8_t>(state >> 23);
        }
    }
    const std::vector<Chunk> chunks = readChunks(encodePng(noise));
    std::vector<std::size_t> idatSizes;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "IDAT") idatSizes.push_back(chunk.data.size());
    }
    const std::vector<std::uint8_t> stream = joinedIdat(chunks);
    ASSERT_GT(stream.size(), 2 * kPngIdatChunkSize);
    ASSERT_EQ(idatSizes.size(), 3u);
    EXPECT_EQ(idatSizes[0], 65535u);
    EXPECT_EQ(idatSizes[1], 65535u);
    EXPECT_EQ(idatSizes[2], stream.size() - 2 * 65535u);
    EXPECT_EQ(inflateAll(stream, noise.byteCount() + 160), subFiltered(noise));
}

TEST(PngEncoder, SubFilterOfOneRow) {
    const std::uint8_t row[] = {10, 20, 30, 15, 10, 40, 0, 255, 40};
    std::uint8_t out[10] = {};
    filterRowSub(row, 9, out);
    const std::vector<std::uint8_t> expected = {1, 10, 20, 30, 5, 246, 10, 241, 245, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 10), expected);
}

TEST(PngEncoder, DecodesBackToTheSamePixels) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{129, 65}}) {
        SCOPED_TRACE(width);
        const Bitmap24 picture = test::photoLike(width, height, 3);
        const std::vector<std::uint8_t> file = encodePng(picture);
        EXPECT_EQ(test::maxChannelDifference(decodePng(file), picture), 0);
    }
}

TEST(PngEncoder, AnEmptyPictureGivesAnEmptyFile) {
    EXPECT_TRUE(encodePng(Bitmap24()).empty());
}

}  // namespace
}  // namespace quillmere
