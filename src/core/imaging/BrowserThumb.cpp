#include "core/imaging/BrowserThumb.h"

#include <algorithm>
#include <vector>

#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegErrorManager.h"
#include "core/imaging/JpegMemoryBudget.h"
#include "core/imaging/JpegStreamSource.h"
#include "core/imaging/RegularFile.h"
#include "core/imaging/SrgbConversion.h"
#include "core/imaging/Stretch.h"
#include "core/imaging/Tiles.h"

namespace vantrel {
namespace {

using namespace jpeg_detail;

struct ScaledTileJob {
    std::FILE* file;
    int scale;
    RgbBitmap* tile;  // square, filled white by the caller
    const SrgbTransform* toSrgb;  // null: the pixels are taken as they are decoded
    bool ok;
};

// Decodes at 1/scale with the fast inverse DCT and point-samples the rows straight into the
// tile's fit rectangle, so that the scaled picture is never stored whole.
void RunScaledTileDecode(ScaledTileJob* job) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = InstallErrorManager(err);
    job->ok = false;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    UseStreamSource(&cinfo, job->file);
    jpeg_read_header(&cinfo, TRUE);
    // The tile itself is small, but a progressive file keeps its whole picture's coefficients.
    LimitDecoderMemory(&cinfo, DecodeMemoryBudget());
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(job->scale);
    cinfo.dct_method = JDCT_IFAST;
    cinfo.two_pass_quantize = FALSE;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    const int sw = static_cast<int>(cinfo.output_width), sh = static_cast<int>(cinfo.output_height);
    const PixelArea rect = FitRect(sw, sh, job->tile->Width());
    std::vector<int> columnOffset(static_cast<std::size_t>(rect.width));
    for (int i = 0; i < rect.width; ++i) columnOffset[i] = 3 * SourceIndex(i, sw, rect.width);
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 cinfo.output_width * 3, 1);
    int nextTargetRow = 0;  // rows of the fit rectangle already filled
    while (cinfo.output_scanline < cinfo.output_height) {
        const int sy = static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) {
            jpeg_destroy_decompress(&cinfo);
            return;
        }
        while (nextTargetRow < rect.height && SourceIndex(nextTargetRow, sh, rect.height) == sy) {
            std::uint8_t* out = job->tile->Row(rect.top + nextTargetRow) + 3 * rect.left;
            for (int i = 0; i < rect.width; ++i) {
                const std::uint8_t* p = rows[0] + columnOffset[i];
                out[3 * i] = p[0];
                out[3 * i + 1] = p[1];
                out[3 * i + 2] = p[2];
            }
            if (job->toSrgb != nullptr) job->toSrgb->Apply(out, static_cast<std::size_t>(rect.width));
            ++nextTargetRow;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    job->ok = true;
}

// A full decode of the file from its start, then its tile or the placeholder.
BrowserThumbResult FullDecodeTile(ImageWorkspace& ws, PhotoStream& file, int tileSide) {
    file.Rewind();
    if (!LoadImageFromStream(ws, file.Get()).HasPicture()) {
        DrawBadImageTile(ws.workBitmap, ws.textPainter, ws.badImageText, tileSide);
        return BrowserThumbResult::Placeholder;
    }
    MakeThumbTile(ws.workBitmap, ws.scratch, ws.textPainter, ws.badImageText, tileSide);
    return BrowserThumbResult::Tile;
}

}  // namespace

int BrowserDecodeScale(int width, int height, int tileSide) {
    const int r = std::min(width / tileSide, height / tileSide);
    if (r < 2) return 1;
    if (r < 4) return 2;
    if (r < 8) return 4;
    return 8;
}

BrowserThumbResult MakeBrowserThumb(ImageWorkspace& ws, const std::string& path, int tileSide) {
    auto file = PhotoStream::Open(path);
    if (!file || !ReadImageHeaderFromStream(ws, file->Get())) {
        if (!file) ReadImageHeaderFromMemory(ws, nullptr, 0);  // no header: 0 x 0, Unknown
        DrawBadImageTile(ws.workBitmap, ws.textPainter, ws.badImageText, tileSide);
        return BrowserThumbResult::BadPicture;
    }
    if (IsFourComponent(ws.params.colourModel)) return FullDecodeTile(ws, *file, tileSide);

    const int scale = BrowserDecodeScale(ws.params.width, ws.params.height, tileSide);
    ws.lastDecodeScale = scale;
    if (!ws.workBitmap.Resize(tileSide, tileSide)) return BrowserThumbResult::Placeholder;
    ws.workBitmap.Fill(kTileWhite);
    file->Rewind();
    const auto toSrgb = ws.convertToSrgb ? SrgbTransformOf(ws.params) : nullptr;
    ScaledTileJob job{file->Get(), scale, &ws.workBitmap, toSrgb.get(), false};
    RunScaledTileDecode(&job);
    if (!job.ok) {
        // Damaged data: the full decoder may still recover a picture.
        const BrowserThumbResult result = FullDecodeTile(ws, *file, tileSide);
        DrawTileFrame(ws.workBitmap);
        return result;
    }
    DrawTileFrame(ws.workBitmap);
    return BrowserThumbResult::Tile;
}

}  // namespace vantrel
