#include "core/service/PhotoPreparation.h"

#include <cstring>

#include "core/imaging/ExifOrientation.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"

namespace vantrel {

TWriteFailure WriteFailureOf(const ImageFileError& error, const std::string& target) {
    const bool system = error.kind == ImageFileError::Kind::FileError && error.sysError != 0;
    return TWriteFailure{target, system ? std::strerror(error.sysError) : error.message};
}

namespace {

// Writes the copy of the upright work bitmap; returns its MD5. A copy that cannot be made leaves
// its reason in `notMade` (the first one kept) and an error naming the target.
std::expected<std::string, TWriteFailure> WriteCopy(ImageWorkspace& ws, const std::string& target, int size,
                                                    const char* which, std::string& notMade) {
    auto bytes = EncodeScaledCopy(ws.workBitmap, ws.scratch, size);
    if (!bytes) {
        if (notMade.empty()) notMade = std::string(which) + ": " + bytes.error().message;
        return std::unexpected(WriteFailureOf(bytes.error(), target));
    }
    if (auto written = WriteFileBytes(target, *bytes); !written)
        return std::unexpected(WriteFailureOf(written.error(), target));
    return DigestToHex(DigestBytes(*bytes));
}

}  // namespace

TPreparedPhoto PreparePhotoInOneDecode(ImageWorkspace& ws, const TPhotoRequest& request) {
    TPreparedPhoto prepared;
    prepared.workPath = request.workPath;
    prepared.scaledPath = request.scaledPath;
    prepared.thumbPath = request.thumbPath;
    prepared.photoDigest = DigestToHex(DigestFile(request.workPath));
    // Only the rows the copies sample are decoded in full; the stream is read whole all the same.
    ReadImageHeader(ws, request.workPath);
    const std::vector<bool> rows = RowsSampledByCopies(ws.params.width, ws.params.height,
                                                       ExifOrientation(ws.params.metadata),
                                                       {request.scaledSize, request.thumbSize});
    auto code = LoadImage(ws, request.workPath, rows.empty() ? nullptr : &rows);
    if (!code) {
        // A photo that cannot be opened is refused like one that does not decode.
        prepared.rejected = true;
        return prepared;
    }
    auto rejected = IsRejectedDecode(ws, *code, request.rejectedErrors);
    if (!rejected) {
        prepared.rejected = std::unexpected(rejected.error().message);
        return prepared;
    }
    prepared.rejected = *rejected;
    if (*rejected) return prepared;
    TurnUpright(ws);  // copies carry no metadata: they are made upright
    prepared.scaledDigest = WriteCopy(ws, request.scaledPath, request.scaledSize, "scaled copy", prepared.copyNotMade);
    prepared.thumbDigest = WriteCopy(ws, request.thumbPath, request.thumbSize, "thumbnail", prepared.copyNotMade);
    return prepared;
}

}  // namespace vantrel
