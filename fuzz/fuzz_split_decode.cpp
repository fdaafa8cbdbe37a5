// libFuzzer entry: the decode of sampled rows in two parts at once. Whatever it finishes must be
// a clean decode with the rows of one decode; anything else aborts the run. The finder of the
// photo's end is checked on the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "core/imaging/JpegDecodeJob.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/ImageEndFinder.h"
#include "core/imaging/JpegSplitDecode.h"

using namespace vantrel;
using namespace vantrel::jpeg_detail;

namespace {

// The end of the photo is found the same whether its bytes come at once or in pieces, and never
// past them.
void CheckImageEnd(const std::uint8_t* data, std::size_t size) {
    const std::size_t dataOffset = size > 0 ? data[0] % (size + 1) : 0;
    const auto whole = ImageEndFinder(dataOffset).Find({data, size});
    if (whole && *whole > size) std::abort();
    ImageEndFinder pieces(dataOffset);
    std::optional<std::size_t> found;
    for (std::size_t have = 1; !found && have <= size; have += 1 + have / 7) found = pieces.Find({data, have});
    if (!found) found = pieces.Find({data, size});
    if (found != whole) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckImageEnd(data, size);
    ImageWorkspace header;
    if (!ReadImageHeaderFromMemory(header, data, size)) return 0;
    const std::int64_t width = header.params.width, height = header.params.height;
    if (width * height > 4'000'000 || height < 1) return 0;
    std::vector<bool> rows(static_cast<std::size_t>(height), false);
    for (std::int64_t y = 0; y < height; y += 2) rows[static_cast<std::size_t>(y)] = true;

    ImageParams params;
    RgbBitmap split, whole;
    DecodeJob job;
    job.data = data;
    job.size = size;
    job.params = &params;
    job.target = &split;
    job.rowsNeeded = &rows;
    if (RunSplitDecode(job, 0, true) == SplitOutcome::DecodeAsOne) return 0;
    DecodeJob one;
    one.data = data;
    one.size = size;
    one.params = &params;
    one.target = &whole;
    RunDecode(&one);
    if (!job.ok || !one.ok || one.warnings != 0 || split.Width() != whole.Width() || split.Height() != whole.Height())
        std::abort();
    for (int y = 0; y < whole.Height(); y += 2)
        if (std::memcmp(split.Row(y), whole.Row(y), static_cast<std::size_t>(whole.Width()) * 3) != 0) std::abort();
    return 0;
}
