#include "imaging/codecs/png_encoder.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <new>

#include "common/app_error.h"
#include "imaging/codecs/byte_order.h"

namespace quillmere {

namespace {

constexpr int kCompressionLevel = 7;
constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Appends chunks to the file.
class ChunkWriter {
  public:
    explicit ChunkWriter(std::vector<std::uint8_t>& file) : file_(file) {}

    void write(const char (&type)[5], const std::uint8_t* data, std::size_t length) {
        const std::size_t start = file_.size();
        file_.resize(start + 12 + length);
        std::uint8_t* out = file_.data() + start;
        putBig32(out, static_cast<std::uint32_t>(length));
        std::memcpy(out + 4, type, 4);
        if (length > 0) std::memcpy(out + 8, data, length);
        const auto crc = crc32(0, out + 4, static_cast<uInt>(4 + length));
        putBig32(out + 8 + length, static_cast<std::uint32_t>(crc));
    }

  private:
    std::vector<std::uint8_t>& file_;
};

// Deflates the filtered rows into a 65535-byte window that goes out as an
// IDAT chunk each time it fills; what is left at the end is the last IDAT.
class IdatStream {
  public:
    explicit IdatStream(ChunkWriter& chunks) : chunks_(chunks) {
        if (deflateInit(&stream_, kCompressionLevel) != Z_OK) throw std::bad_alloc();
        resetWindow();
    }
    ~IdatStream() { deflateEnd(&stream_); }
    IdatStream(const IdatStream&) = delete;
    IdatStream& operator=(const IdatStream&) = delete;

    void add(const std::uint8_t* data, std::size_t length) {
        stream_.next_in = const_cast<Bytef*>(data);  // zlib does not change its input
        stream_.avail_in = static_cast<uInt>(length);
        while (stream_.avail_in > 0) {
            deflate(&stream_, Z_NO_FLUSH);
            if (stream_.avail_out == 0) emitWindow();
        }
    }

    void finish() {
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            status = deflate(&stream_, Z_FINISH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
                throw std::bad_alloc();
            }
            if (stream_.avail_out == 0) emitWindow();
        }
        const std::size_t used = window_.size() - stream_.avail_out;
        if (used > 0) chunks_.write("IDAT", window_.data(), used);
    }

  private:
    void emitWindow() {
        chunks_.write("IDAT", window_.data(), window_.size());
        resetWindow();
    }
    void resetWindow() {
        stream_.next_out = window_.data();
        stream_.avail_out = static_cast<uInt>(window_.size());
    }

    ChunkWriter& chunks_;
    z_stream stream_{};
    std::array<std::uint8_t, kPngIdatChunkSize> window_{};
};

}  // namespace

void filterRowSub(const std::uint8_t* row, std::size_t rowBytes, std::uint8_t* out) {
    out[0] = 1;
    const std::size_t first = rowBytes < 3 ? rowBytes : 3;
    std::memcpy(out + 1, row, first);
    for (std::size_t i = 3; i < rowBytes; ++i) {
        out[1 + i] = static_cast<std::uint8_t>(row[i] - row[i - 3]);
    }
}

std::vector<std::uint8_t> encodePng(const Bitmap24& bitmap) {
    std::vector<std::uint8_t> file;
    if (bitmap.isEmpty()) return file;
    file.reserve(bitmap.byteCount() / 2 + 1024);
    file.insert(file.end(), kSignature.begin(), kSignature.end());

    ChunkWriter chunks(file);
    std::array<std::uint8_t, 13> header{};
    putBig32(header.data(), static_cast<std::uint32_t>(bitmap.width()));
    putBig32(header.data() + 4, static_cast<std::uint32_t>(bitmap.height()));
    header[8] = 8;  // bit depth
    header[9] = 2;  // truecolour
    chunks.write("IHDR", header.data(), header.size());

    {
        IdatStream idat(chunks);
        std::vector<std::uint8_t> filtered(1 + bitmap.stride());
        for (int y = 0; y < bitmap.height(); ++y) {
            filterRowSub(bitmap.row(y), bitmap.stride(), filtered.data());
            idat.add(filtered.data(), filtered.size());
        }
        idat.finish();
    }

    chunks.write("IEND", nullptr, 0);
    return file;
}

}  // namespace quillmere
