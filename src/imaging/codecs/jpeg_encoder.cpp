#include "imaging/codecs/jpeg_encoder.h"

#include <algorithm>

#include "common/app_error.h"
#include "imaging/codecs/jpeg_error_handling.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

constexpr std::size_t kOutputStep = 1 << 16;

// A libjpeg destination appending to a byte vector.
struct VectorDestination {
    jpeg_destination_mgr base;
    std::vector<std::uint8_t>* output;
};

void startDestination(j_compress_ptr info) {
    auto* dest = reinterpret_cast<VectorDestination*>(info->dest);
    dest->output->resize(kOutputStep);
    dest->base.next_output_byte = dest->output->data();
    dest->base.free_in_buffer = dest->output->size();
}

boolean growDestination(j_compress_ptr info) {
    // libjpeg calls this only when the whole buffer is full.
    auto* dest = reinterpret_cast<VectorDestination*>(info->dest);
    const std::size_t used = dest->output->size();
    dest->output->resize(used * 2);
    dest->base.next_output_byte = dest->output->data() + used;
    dest->base.free_in_buffer = dest->output->size() - used;
    return TRUE;
}

void finishDestination(j_compress_ptr info) {
    auto* dest = reinterpret_cast<VectorDestination*>(info->dest);
    dest->output->resize(dest->output->size() - dest->base.free_in_buffer);
}

struct JpegEncoding {
    jpeg_compress_struct info;
    JpegErrorManager errors;
    VectorDestination destination;
    const Bitmap24* bitmap;
    int quality;
    bool created = false;
};

// Holds no object with a destructor, so libjpeg's longjmp skips nothing.
int runEncoding(JpegEncoding* e) {
    if (setjmp(e->errors.jumpBack) != 0) return e->errors.messageCode;

    e->info.err = &e->errors.base;
    jpeg_create_compress(&e->info);
    e->created = true;

    e->destination.base.init_destination = startDestination;
    e->destination.base.empty_output_buffer = growDestination;
    e->destination.base.term_destination = finishDestination;
    e->info.dest = &e->destination.base;

    e->info.image_width = static_cast<JDIMENSION>(e->bitmap->width());
    e->info.image_height = static_cast<JDIMENSION>(e->bitmap->height());
    e->info.input_components = 3;
    e->info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e->info);
    jpeg_set_quality(&e->info, e->quality, TRUE);
    e->info.dct_method = JDCT_FLOAT;

    jpeg_start_compress(&e->info, TRUE);
    constexpr int kBatch = 16;
    JSAMPROW rows[kBatch];
    while (e->info.next_scanline < e->info.image_height) {
        const JDIMENSION first = e->info.next_scanline;
        const int count =
            static_cast<int>(std::min<JDIMENSION>(kBatch, e->info.image_height - first));
        for (int i = 0; i < count; ++i) {
            // libjpeg takes non-const rows but only reads them.
            rows[i] = const_cast<JSAMPROW>(e->bitmap->row(static_cast<int>(first) + i));
        }
        jpeg_write_scanlines(&e->info, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&e->info);
    return 0;
}

}  // namespace

int jpegQualityFromArgument(int quality) {
    const int lowByte = static_cast<int>(static_cast<unsigned>(quality) & 0xFFu);
    return std::clamp(lowByte, 1, 100);
}

std::vector<std::uint8_t> encodeJpeg(const Bitmap24& bitmap, int quality) {
    std::vector<std::uint8_t> output;
    if (bitmap.isEmpty()) return output;

    JpegEncoding encoding;
    installJpegErrorManager(encoding.errors);
    encoding.destination.output = &output;
    encoding.bitmap = &bitmap;
    encoding.quality = jpegQualityFromArgument(quality);
    const int failure = runEncoding(&encoding);
    if (encoding.created) jpeg_destroy_compress(&encoding.info);
    if (failure != 0) throw AppError(imaging_messages::jpegError(failure));
    return output;
}

}  // namespace quillmere
