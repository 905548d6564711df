#include "support/jpeg_header.h"

#include <cstddef>
#include <cstdio>

// After the C headers: jpeglib.h uses size_t and FILE without including them.
#include <jpeglib.h>

namespace quillmere::test {

JpegHeader readJpegHeader(const std::vector<std::uint8_t>& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    JpegHeader header;
    for (std::size_t i = 0; i < 64; ++i) {
        header.luminance[i] = info.quant_tbl_ptrs[0]->quantval[i];
        header.chrominance[i] = info.quant_tbl_ptrs[1]->quantval[i];
    }
    header.jfif = info.saw_JFIF_marker;
    header.jfifMajor = info.JFIF_major_version;
    header.jfifMinor = info.JFIF_minor_version;
    header.densityUnit = info.density_unit;
    header.xDensity = info.X_density;
    header.yDensity = info.Y_density;
    header.progressive = info.progressive_mode;
    header.arithmetic = info.arith_code;
    header.components = info.num_components;
    header.samplingY[0] = info.comp_info[0].h_samp_factor;
    header.samplingY[1] = info.comp_info[0].v_samp_factor;
    header.samplingCb[0] = info.comp_info[1].h_samp_factor;
    header.samplingCb[1] = info.comp_info[1].v_samp_factor;
    header.samplingCr[0] = info.comp_info[2].h_samp_factor;
    header.samplingCr[1] = info.comp_info[2].v_samp_factor;
    header.tableOfCb = info.comp_info[1].quant_tbl_no;
    header.restartInterval = info.restart_interval;
    header.width = static_cast<int>(info.image_width);
    header.height = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return header;
}

}  // namespace quillmere::test
