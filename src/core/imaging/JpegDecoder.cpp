#include "core/imaging/JpegDecoder.h"

#include <cstdio>

#include "core/imaging/CmykConversion.h"
#include "core/imaging/JpegErrorManager.h"
#include "core/imaging/JpegHeaderFields.h"
#include "core/imaging/JpegMemoryBudget.h"
#include "core/imaging/JpegStreamSource.h"
#include "core/imaging/RegularFile.h"

namespace vantrel {
namespace {

using namespace jpeg_detail;

// Everything the codec-driving function reads and writes, so that it holds no object with a
// destructor across setjmp.
struct DecodeJob {
    std::FILE* file;
    const std::uint8_t* data;
    std::size_t size;
    bool headerOnly;
    ImageParams* params;
    RgbBitmap* target;
    const std::function<void(int)>* progress;
    bool ok;
    std::uint32_t warnings;
    int lastCode;
    const std::vector<bool>* rowsNeeded;  // may be null: every row
};

// The length of the run of rows from `first` that are not needed, stopping before the last row
// so that the codec still reads the stream to its end (and issues the same warnings).
JDIMENSION UnneededRun(const std::vector<bool>& needed, JDIMENSION first, JDIMENSION height) {
    JDIMENSION y = first;
    while (y + 1 < height && y < needed.size() && !needed[y]) ++y;
    return y - first;
}

constexpr int kRowBatch = 16;

void RunDecode(DecodeJob* job) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ProgressMonitor monitor;
    cinfo.err = InstallErrorManager(err);
    job->ok = false;
    if (setjmp(err.jump)) {
        job->warnings = err.warnings;
        job->lastCode = err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    if (job->file != nullptr)
        UseStreamSource(&cinfo, job->file);
    else
        jpeg_mem_src(&cinfo, job->data, static_cast<unsigned long>(job->size));
    KeepMetadataSegments(&cinfo);
    jpeg_read_header(&cinfo, TRUE);
    CopyHeaderFields(&cinfo, *job->params);
    if (job->headerOnly) {
        job->ok = true;
        jpeg_destroy_decompress(&cinfo);
        return;
    }

    const bool fourComponent = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool adobeInverted = cinfo.saw_Adobe_marker != 0;
    cinfo.out_color_space = fourComponent ? JCS_CMYK : JCS_RGB;
    // A picture that does not fit the decode budget is refused before anything is allocated;
    // the codec gets what the bitmap leaves.
    jpeg_calc_output_dimensions(&cinfo);
    const std::uint64_t codecLimit = CodecMemoryLimit(
        DecodeMemoryBudget(), std::uint64_t(cinfo.output_width) * cinfo.output_height * 3);
    if (codecLimit == 0) {
        job->warnings = err.warnings;
        job->lastCode = err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    LimitDecoderMemory(&cinfo, codecLimit);
    InstallProgressMonitor(&cinfo, monitor, job->progress);
    jpeg_start_decompress(&cinfo);
    const int expectedComponents = fourComponent ? 4 : 3;
    if (cinfo.output_components != expectedComponents ||
        !job->target->Resize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height))) {
        job->warnings = err.warnings;
        job->lastCode = err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    const JDIMENSION width = cinfo.output_width, height = cinfo.output_height;
    JSAMPARRAY cmykRows = nullptr;
    if (fourComponent)
        cmykRows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, width * 4, kRowBatch);
    JSAMPROW rows[kRowBatch];
    bool complete = true;
    const bool skipping = job->rowsNeeded != nullptr && !fourComponent && !cinfo.arith_code;
    while (cinfo.output_scanline < height) {
        const JDIMENSION first = cinfo.output_scanline;
        JDIMENSION got;
        if (skipping) {
            const JDIMENSION run = UnneededRun(*job->rowsNeeded, first, height);
            if (run > 0) {
                got = jpeg_skip_scanlines(&cinfo, run);
            } else {
                rows[0] = job->target->Row(static_cast<int>(first));
                got = jpeg_read_scanlines(&cinfo, rows, 1);
            }
        } else if (fourComponent) {
            got = jpeg_read_scanlines(&cinfo, cmykRows, kRowBatch);
            for (JDIMENSION i = 0; i < got; ++i)
                CmykRowToRgb(cmykRows[i], job->target->Row(static_cast<int>(first + i)), width, adobeInverted);
        } else {
            for (int i = 0; i < kRowBatch; ++i) {
                const JDIMENSION y = first + i < height ? first + i : height - 1;
                rows[i] = job->target->Row(static_cast<int>(y));
            }
            got = jpeg_read_scanlines(&cinfo, rows, kRowBatch);
        }
        if (got == 0) {
            complete = false;
            break;
        }
    }
    if (complete) jpeg_finish_decompress(&cinfo);
    job->ok = complete;
    job->warnings = err.warnings;
    job->lastCode = err.pub.msg_code;
    jpeg_destroy_decompress(&cinfo);
}

void StoreOutcome(ImageParams& params, const DecodeJob& job) {
    params.warningCount = job.warnings;
    params.lastMessageCode = job.warnings > 0 ? job.lastCode : 0;
    params.failed = !job.ok;
}

}  // namespace

bool ReadImageHeader(ImageWorkspace& ws, const std::string& path) {
    auto stream = PhotoStream::Open(path);
    if (!stream) {
        SetUnknownHeader(ws.params);
        return false;
    }
    return ReadImageHeaderFromStream(ws, stream->Get());
}

bool ReadImageHeaderFromStream(ImageWorkspace& ws, std::FILE* file) {
    DecodeJob job{file, nullptr, 0, true, &ws.params, nullptr, nullptr, false, 0, 0, nullptr};
    RunDecode(&job);
    if (!job.ok) SetUnknownHeader(ws.params);
    return job.ok;
}

bool ReadImageHeaderFromMemory(ImageWorkspace& ws, const std::uint8_t* data, std::size_t size) {
    DecodeJob job{nullptr, data, size, true, &ws.params, nullptr, nullptr, false, 0, 0, nullptr};
    if (size > 0) RunDecode(&job);
    if (!job.ok) SetUnknownHeader(ws.params);
    return job.ok;
}

std::expected<std::int32_t, ImageFileError> LoadImage(ImageWorkspace& ws, const std::string& path,
                                                      const std::vector<bool>* rowsNeeded) {
    auto stream = PhotoStream::Open(path);
    if (!stream) {
        ws.params.warningCount = 0;
        ws.params.lastMessageCode = 0;
        ws.params.failed = true;
        return std::unexpected(FileErrorFromErrno("cannot open", path, stream.error()));
    }
    return LoadImageFromStream(ws, stream->Get(), rowsNeeded);
}

std::int32_t LoadImageFromStream(ImageWorkspace& ws, std::FILE* file, const std::vector<bool>* rowsNeeded) {
    ws.params.warningCount = 0;
    ws.params.lastMessageCode = 0;
    DecodeJob job{file, nullptr, 0, false, &ws.params, &ws.workBitmap, &ws.progress, false, 0, 0, rowsNeeded};
    RunDecode(&job);
    StoreOutcome(ws.params, job);
    return ws.params.lastMessageCode;
}

std::int32_t LoadImageFromMemory(ImageWorkspace& ws, const std::uint8_t* data, std::size_t size) {
    ws.params.warningCount = 0;
    ws.params.lastMessageCode = 0;
    DecodeJob job{nullptr, data, size, false, &ws.params, &ws.workBitmap, &ws.progress, false, 0, 0, nullptr};
    if (size > 0) RunDecode(&job);
    StoreOutcome(ws.params, job);
    return ws.params.lastMessageCode;
}

}  // namespace vantrel
