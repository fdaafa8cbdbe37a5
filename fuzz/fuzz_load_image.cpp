// libFuzzer entry: header reading, full decoding and the working-copy re-encode of arbitrary
// bytes. Pictures above a few megapixels are only header-read, to keep each run small.
#include <cstddef>
#include <cstdint>

#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegEncoder.h"
#include "core/imaging/Tiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantrel::ImageWorkspace ws;  // reused like the program's, so buffer reuse is fuzzed too
    if (!vantrel::ReadImageHeaderFromMemory(ws, data, size)) return 0;
    if (static_cast<std::int64_t>(ws.params.width) * ws.params.height > 4'000'000) return 0;
    if (!vantrel::LoadImageFromMemory(ws, data, size).HasPicture()) {
        vantrel::DrawBadImageTile(ws, ws.workBitmap);
        return 0;
    }
    if (static_cast<std::int64_t>(ws.workBitmap.Width()) * ws.workBitmap.Height() <= 250'000) {
        ws.params.quality = 75;
        (void)vantrel::EncodeWorkingCopyJpeg(ws.workBitmap, ws.params);
    }
    vantrel::MakeThumbTile(ws);
    return 0;
}
