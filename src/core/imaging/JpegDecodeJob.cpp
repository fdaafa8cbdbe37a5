#include "core/imaging/JpegDecodeJob.h"

#include <algorithm>

#include "core/imaging/CmykConversion.h"
#include "core/imaging/JpegErrorManager.h"
#include "core/imaging/JpegHeaderFields.h"
#include "core/imaging/JpegMemoryBudget.h"
#include "core/imaging/JpegStreamSource.h"

namespace vantrel::jpeg_detail {
namespace {

constexpr JDIMENSION kRowBatch = 16;

bool Wanted(const DecodeJob& job, JDIMENSION y) {
    const std::size_t row = std::size_t(y) + static_cast<std::size_t>(job.rowOffset);
    if (job.checkRowIndex >= 0 && row == static_cast<std::size_t>(job.checkRowIndex)) return true;
    if (row < static_cast<std::size_t>(job.firstRow)) return false;
    return job.rowsNeeded == nullptr || row >= job.rowsNeeded->size() || (*job.rowsNeeded)[row];
}

// The length of the run of rows from `first` that are not wanted, stopping before the last row
// so that the codec still reads the stream to its end (and issues the same warnings).
JDIMENSION UnwantedRun(const DecodeJob& job, JDIMENSION first, JDIMENSION height) {
    JDIMENSION y = first;
    while (y + 1 < height && !Wanted(job, y)) ++y;
    return y - first;
}

void Finish(DecodeJob* job, const ErrorManager& err, bool ok) {
    job->ok = ok;
    job->warnings = err.warnings;
    job->lastCode = err.pub.msg_code;
}

}  // namespace

std::uint64_t BudgetOf(const DecodeJob& job) { return job.budget != 0 ? job.budget : DecodeMemoryBudget(); }

void RunDecode(DecodeJob* job) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ProgressMonitor monitor;
    cinfo.err = InstallErrorManager(err);
    job->ok = false;
    if (setjmp(err.jump)) {
        Finish(job, err, false);
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
        Finish(job, err, true);
        jpeg_destroy_decompress(&cinfo);
        return;
    }

    const bool fourComponent = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool adobeInverted = cinfo.saw_Adobe_marker != 0;
    cinfo.out_color_space = fourComponent ? JCS_CMYK : JCS_RGB;
    // A picture that does not fit the decode budget is refused before anything is allocated;
    // the codec gets what the bitmap leaves.
    jpeg_calc_output_dimensions(&cinfo);
    const std::uint64_t codecLimit =
        CodecMemoryLimit(BudgetOf(*job), std::uint64_t(cinfo.output_width) * cinfo.output_height * 3);
    if (codecLimit == 0) {
        Finish(job, err, false);
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    LimitDecoderMemory(&cinfo, codecLimit);
    InstallProgressMonitor(&cinfo, monitor, job->progress);
    jpeg_start_decompress(&cinfo);
    const int expectedComponents = fourComponent ? 4 : 3;
    const int width = static_cast<int>(cinfo.output_width);
    const int targetHeight = static_cast<int>(cinfo.output_height) + job->rowOffset;
    const bool sized = job->targetReady
                           ? job->target->Width() == width && job->target->Height() == targetHeight
                           : job->target->Resize(width, targetHeight);
    if (cinfo.output_components != expectedComponents || !sized) {
        Finish(job, err, false);
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    const JDIMENSION height = cinfo.output_height;
    const auto targetRow = [job](JDIMENSION y) {
        const int row = static_cast<int>(y) + job->rowOffset;
        return row == job->checkRowIndex && job->checkRow != nullptr ? job->checkRow : job->target->Row(row);
    };
    JSAMPARRAY cmykRows = nullptr;
    if (fourComponent)
        cmykRows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * 4, kRowBatch);
    JSAMPROW rows[kRowBatch];
    bool complete = true;
    const bool skipping = (job->rowsNeeded != nullptr || job->firstRow > 0) && !fourComponent && !cinfo.arith_code;
    JDIMENSION stop = height;  // less when a cut leaves the rows below to another decoder
    while (cinfo.output_scanline < stop) {
        const JDIMENSION first = cinfo.output_scanline;
        JDIMENSION run = skipping ? UnwantedRun(*job, first, height) : 0;
        JDIMENSION span = run > 0 ? run : (skipping ? 1 : kRowBatch);
        if (job->cut != nullptr) {
            // Asked one row early, so that the row above a cut is never passed before the cut is known.
            stop = static_cast<JDIMENSION>(
                job->cut->StopRow(static_cast<int>(first + span) + 1, static_cast<int>(height)));
            if (first >= stop) break;
            span = std::min(span, stop - first);
            // The row above the cut is decoded in full: the lower decoder decodes it too, and the
            // two are compared.
            if (stop < height) job->checkRowIndex = static_cast<int>(stop) - 1;
            if (run > 0 && first + span > stop - 1 && stop < height) {
                span = stop - 1 - first;
                if (span == 0) run = 0, span = 1;
            }
        }
        JDIMENSION got;
        if (run > 0) {
            got = jpeg_skip_scanlines(&cinfo, span);
        } else if (skipping) {
            rows[0] = targetRow(first);
            got = jpeg_read_scanlines(&cinfo, rows, 1);
        } else if (fourComponent) {
            got = jpeg_read_scanlines(&cinfo, cmykRows, span);
            for (JDIMENSION i = 0; i < got; ++i)
                CmykRowToRgb(cmykRows[i], targetRow(first + i), cinfo.output_width, adobeInverted);
        } else {
            for (JDIMENSION i = 0; i < span; ++i) rows[i] = targetRow(std::min(first + i, height - 1));
            got = jpeg_read_scanlines(&cinfo, rows, span);
        }
        if (got == 0) {
            complete = false;
            break;
        }
    }
    // A decoder stopped at a cut has not reached the end of its stream: it is not finished.
    if (complete && stop == height) jpeg_finish_decompress(&cinfo);
    Finish(job, err, complete);
    jpeg_destroy_decompress(&cinfo);
}

}  // namespace vantrel::jpeg_detail
