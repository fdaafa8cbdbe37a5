#include "core/imaging/JpegEncoder.h"

#include "core/imaging/CmykConversion.h"
#include "core/imaging/JpegErrorManager.h"

namespace vantrel {
namespace {

using namespace jpeg_detail;

struct EncodeJob {
    const RgbBitmap* picture;
    int quality;
    bool workingCopy;              // false: the plain baseline encoder
    J_COLOR_SPACE targetSpace;     // working copy only
    bool progressive;              // working copy only
    const std::vector<MetadataSegment>* segments;  // metadata to carry over, or null
    unsigned char* out;
    unsigned long outSize;
    bool ok;
    int errorCode;
};

constexpr int kRowBatch = 16;

void WriteKeptSegments(j_compress_ptr cinfo, const std::vector<MetadataSegment>& segments) {
    for (const MetadataSegment& s : segments) {
        if (s.marker == JPEG_APP0 + 14 || s.data.size() > 65533) continue;
        jpeg_write_marker(cinfo, s.marker, reinterpret_cast<const JOCTET*>(s.data.data()),
                          static_cast<unsigned>(s.data.size()));
    }
}

void RunEncode(EncodeJob* job) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = InstallErrorManager(err);
    job->ok = false;
    job->out = nullptr;
    job->outSize = 0;
    if (setjmp(err.jump)) {
        job->errorCode = err.pub.msg_code;
        jpeg_destroy_compress(&cinfo);
        std::free(job->out);
        job->out = nullptr;
        return;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job->out, &job->outSize);
    const RgbBitmap& picture = *job->picture;
    cinfo.image_width = static_cast<JDIMENSION>(picture.Width());
    cinfo.image_height = static_cast<JDIMENSION>(picture.Height());
    const bool fourComponent = job->workingCopy && (job->targetSpace == JCS_CMYK || job->targetSpace == JCS_YCCK);
    cinfo.input_components = fourComponent ? 4 : 3;
    cinfo.in_color_space = fourComponent ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (job->workingCopy) {
        jpeg_set_colorspace(&cinfo, job->targetSpace);
        if (job->progressive) jpeg_simple_progression(&cinfo);
    }
    jpeg_set_quality(&cinfo, job->quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    if (job->segments) WriteKeptSegments(&cinfo, *job->segments);

    JSAMPROW rows[kRowBatch];
    JSAMPARRAY cmykRows = nullptr;
    if (fourComponent)
        cmykRows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.image_width * 4, kRowBatch);
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION first = cinfo.next_scanline;
        const JDIMENSION n = cinfo.image_height - first < kRowBatch ? cinfo.image_height - first : kRowBatch;
        for (JDIMENSION i = 0; i < n; ++i) {
            // The codec reads but never writes its input rows.
            auto* row = const_cast<JSAMPROW>(picture.Row(static_cast<int>(first + i)));
            if (fourComponent) {
                RgbRowToInvertedCmyk(row, cmykRows[i], cinfo.image_width);
                rows[i] = cmykRows[i];
            } else {
                rows[i] = row;
            }
        }
        jpeg_write_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    job->ok = true;
}

std::expected<EncodedJpeg, ImageFileError> Finish(EncodeJob& job) {
    if (!job.ok)
        return std::unexpected(ImageFileError{ImageFileError::Kind::Encoder, 0,
                                              "the JPEG encoder failed (message " + std::to_string(job.errorCode) + ")"});
    return EncodedJpeg(job.out, job.outSize);
}

int ClampQuality(int quality) { return quality < 1 ? 1 : quality > 100 ? 100 : quality; }

}  // namespace

std::expected<EncodedJpeg, ImageFileError> EncodeBaselineJpeg(const RgbBitmap& picture, int quality,
                                                              const std::vector<MetadataSegment>* segments) {
    EncodeJob job{&picture, ClampQuality(quality), false, JCS_YCbCr, false, segments, nullptr, 0, false, 0};
    RunEncode(&job);
    return Finish(job);
}

std::expected<EncodedJpeg, ImageFileError> EncodeWorkingCopyJpeg(const RgbBitmap& picture, const ImageParams& params) {
    J_COLOR_SPACE space = JCS_YCbCr;
    switch (params.colourModel) {
        case ColourModel::CMYK: space = JCS_CMYK; break;
        case ColourModel::YCCK: space = JCS_YCCK; break;
        case ColourModel::Grey: space = JCS_GRAYSCALE; break;
        case ColourModel::RGB: space = JCS_RGB; break;
        default: break;
    }
    EncodeJob job{&picture, ClampQuality(params.quality), true, space, params.progressive, &params.metadata, nullptr, 0, false, 0};
    RunEncode(&job);
    return Finish(job);
}

}  // namespace vantrel
