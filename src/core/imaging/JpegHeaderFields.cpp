#include "core/imaging/JpegHeaderFields.h"

namespace vantrel::jpeg_detail {

ColourModel ColourModelOf(J_COLOR_SPACE space) {
    switch (space) {
        case JCS_GRAYSCALE: return ColourModel::Grey;
        case JCS_RGB: return ColourModel::RGB;
        case JCS_YCbCr: return ColourModel::YCbCr;
        case JCS_CMYK: return ColourModel::CMYK;
        case JCS_YCCK: return ColourModel::YCCK;
        default: return ColourModel::Unknown;
    }
}

void KeepMetadataSegments(j_decompress_ptr cinfo) {
    jpeg_save_markers(cinfo, JPEG_COM, 0xFFFF);
    for (int n = 0; n < 16; ++n) jpeg_save_markers(cinfo, JPEG_APP0 + n, 0xFFFF);
}

void CopyHeaderFields(j_decompress_ptr cinfo, ImageParams& params) {
    params.width = static_cast<std::int32_t>(cinfo->image_width);
    params.height = static_cast<std::int32_t>(cinfo->image_height);
    params.colourModel = ColourModelOf(cinfo->jpeg_color_space);
    params.progressive = cinfo->progressive_mode != 0;
    params.metadata.clear();
    bool firstApp0 = true;
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
        if (m->marker == JPEG_APP0 && firstApp0) {
            firstApp0 = false;
            continue;
        }
        params.metadata.push_back({m->marker, std::string(reinterpret_cast<const char*>(m->data), m->data_length)});
    }
}

void SetUnknownHeader(ImageParams& params) {
    params.width = 0;
    params.height = 0;
    params.colourModel = ColourModel::Unknown;
    params.progressive = false;
    params.metadata.clear();
}

}  // namespace vantrel::jpeg_detail
