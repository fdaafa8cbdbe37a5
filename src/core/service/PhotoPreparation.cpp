#include "core/service/PhotoPreparation.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/imaging/ExifOrientation.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/SharedMemoryBudget.h"

namespace vantrel {

WriteError WriteFailureOf(const ImageFileError& error, const std::string& target) {
    const bool system = error.kind == ImageFileError::Kind::FileError && error.sysError != 0;
    return WriteError{target, system ? std::strerror(error.sysError) : error.message};
}

namespace {

// Writes the copy of the upright work bitmap; returns its MD5. A copy that cannot be made leaves
// its reason in `notMade` (the first one kept) and an error naming the target.
std::expected<std::string, WriteError> WriteCopy(ImageWorkspace& ws, const std::string& target, int size,
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

PreparationNeed PreparationBytes(int width, int height, bool progressive, bool quarterTurn, std::uint64_t fileBytes,
                                 std::initializer_list<int> copySizes) {
    constexpr std::uint64_t kCodecRoom = 16u << 20;  // row buffers, tables, the stream's buffer
    const std::uint64_t w = static_cast<std::uint64_t>(std::max(width, 0));
    const std::uint64_t h = static_cast<std::uint64_t>(std::max(height, 0));
    const std::uint64_t pixels = w * h, longer = std::max(w, h), shorter = std::min(w, h);
    PreparationNeed need;
    // A progressive photo keeps every coefficient: 2 bytes each, 64 per block, up to four
    // components at full resolution.
    need.picture = 3 * pixels;
    need.turn = quarterTurn ? need.picture : 0;
    need.codec = (progressive ? 8 * pixels : 0) + kCodecRoom;
    for (int size : copySizes) {
        if (!IsCopySizeAllowed(size) || longer == 0) continue;  // refused without a bitmap
        const std::uint64_t side = static_cast<std::uint64_t>(size);
        need.copy = std::max(need.copy, 3 * side * std::max<std::uint64_t>(1, shorter * side / longer));
    }
    need.file = progressive ? 0 : 2 * fileBytes;
    return need;
}

namespace {

// The workspace's share of its shared budget for one preparation, with the decode limited to it;
// the bitmaps' memory goes back with the share, so that what the workspace holds stays counted.
class PreparationShare {
public:
    PreparationShare(ImageWorkspace& ws, const PreparationNeed& need) : ws_(ws) {
        if (ws.sharedBudget == nullptr) return;
        share_.emplace(ws.sharedBudget->Take(need.Total()));
        const std::uint64_t besides = need.turn + need.copy + need.file;
        // Whatever is left for the decode once the copy and the file are set aside; at least one
        // byte, so that 0 does not read as "the whole budget".
        ws.decodeBudget = std::max<std::uint64_t>(share_->Bytes() > besides ? share_->Bytes() - besides : 0, 1);
    }
    ~PreparationShare() {
        if (!share_) return;
        ws_.decodeBudget = 0;
        ws_.workBitmap.ReleaseMemory();
        ws_.scratch.ReleaseMemory();
    }
    PreparationShare(const PreparationShare&) = delete;
    PreparationShare& operator=(const PreparationShare&) = delete;

private:
    ImageWorkspace& ws_;
    std::optional<SharedMemoryBudget::Share> share_;
};

}  // namespace

PreparedPhoto PreparePhotoInOneDecode(ImageWorkspace& ws, const PhotoRequest& request) {
    PreparedPhoto prepared;
    prepared.workPath = request.workPath;
    prepared.scaledPath = request.scaledPath;
    prepared.thumbPath = request.thumbPath;
    prepared.photoDigest = DigestToHex(DigestFile(request.workPath));
    // Only the rows the copies sample are decoded in full; the stream is read whole all the same.
    ReadImageHeader(ws, request.workPath);
    const int orientation = ExifOrientation(ws.params.metadata);
    const PreparationNeed need =
        PreparationBytes(ws.params.width, ws.params.height, ws.params.progressive, SwapsSides(orientation),
                         FileSizeOf(request.workPath), {request.scaledSize, request.thumbSize});
    const std::uint64_t certain = need.Total() - need.codec;
    if (ws.sharedBudget != nullptr && certain > ws.sharedBudget->Total() && need.picture < ws.sharedBudget->Total()) {
        // The photo alone might decode, but not beside its copies: it stays queued, named.
        prepared.copyNotMade = "not enough memory for the photo and its copies at once";
        return prepared;
    }
    const PreparationShare share(ws, need);
    const std::vector<bool> rows = RowsSampledByCopies(ws.params.width, ws.params.height, orientation,
                                                       {request.scaledSize, request.thumbSize});
    const DecodeResult loaded = LoadImage(ws, request.workPath, rows.empty() ? nullptr : &rows);
    if (loaded.outcome == DecodeOutcome::Unreadable) {
        // A photo that cannot be opened is refused like one that does not decode.
        prepared.rejected = true;
        return prepared;
    }
    auto rejected = IsRejectedDecode(loaded, request.rejectedErrors);
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
