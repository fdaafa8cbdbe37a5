#include "core/imaging/JpegDecoder.h"

#include <cstdio>

#include "core/imaging/JpegHeaderFields.h"
#include "core/imaging/JpegDecodeJob.h"
#include "core/imaging/JpegSplitDecode.h"
#include "core/imaging/RegularFile.h"
#include "core/imaging/SrgbConversion.h"

namespace vantrel {
namespace {

using namespace jpeg_detail;

// A whole decode into the workspace; its source is still to be set.
DecodeJob PhotoDecode(ImageWorkspace& ws) {
    DecodeJob job;
    job.params = &ws.params;
    job.target = &ws.workBitmap;
    job.progress = &ws.progress;
    job.budget = ws.decodeBudget;
    return job;
}

// The outcome of a whole decode into the workspace; a picture is brought to sRGB on the way.
DecodeResult Finished(ImageWorkspace& ws, const DecodeJob& job) {
    DecodeResult result;
    result.warningCount = job.warnings;
    result.messageCode = job.warnings > 0 ? job.lastCode : 0;
    if (!job.ok) result.outcome = DecodeOutcome::Failed;
    else if (job.warnings > 0) result.outcome = DecodeOutcome::Warning;
    if (result.HasPicture() && ws.convertToSrgb) ConvertToSrgb(ws.params, ws.workBitmap, job.rowsNeeded);
    return result;
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
    DecodeJob job;
    job.file = file;
    job.headerOnly = true;
    job.params = &ws.params;
    RunDecode(&job);
    if (!job.ok) SetUnknownHeader(ws.params);
    return job.ok;
}

bool ReadImageHeaderFromMemory(ImageWorkspace& ws, const std::uint8_t* data, std::size_t size) {
    DecodeJob job;
    job.data = data;
    job.size = size;
    job.headerOnly = true;
    job.params = &ws.params;
    if (size > 0) RunDecode(&job);
    if (!job.ok) SetUnknownHeader(ws.params);
    return job.ok;
}

DecodeResult LoadImage(ImageWorkspace& ws, const std::string& path, const std::vector<bool>* rowsNeeded) {
    auto stream = PhotoStream::Open(path);
    if (!stream) {
        DecodeResult result;
        result.outcome = DecodeOutcome::Unreadable;
        result.error = FileErrorFromErrno("cannot open", path, stream.error());
        return result;
    }
    return LoadImageFromStream(ws, stream->Get(), rowsNeeded);
}

DecodeResult LoadImageFromStream(ImageWorkspace& ws, std::FILE* file, const std::vector<bool>* rowsNeeded) {
    DecodeJob job = PhotoDecode(ws);
    job.rowsNeeded = rowsNeeded;
    job.file = file;
    // See the header: a large photo of which only some rows are wanted may be decoded in two
    // parts at once; when it is not, the stream is rewound to where it started and the photo is
    // decoded as one. A stream that cannot be rewound is decoded as one straight away.
    if (const long start = rowsNeeded != nullptr && SplitDecodeEnabled() ? std::ftell(file) : -1; start >= 0) {
        if (RunSplitDecode(job) != SplitOutcome::DecodeAsOne) return Finished(ws, job);
        if (std::fseek(file, start, SEEK_SET) != 0) {
            job.ok = false;
            job.warnings = 0;
            return Finished(ws, job);
        }
    }
    RunDecode(&job);
    return Finished(ws, job);
}

DecodeResult LoadImageFromMemory(ImageWorkspace& ws, const std::uint8_t* data, std::size_t size) {
    DecodeJob job = PhotoDecode(ws);
    job.data = data;
    job.size = size;
    if (size > 0) RunDecode(&job);
    return Finished(ws, job);
}

}  // namespace vantrel
