#include "core/imaging/Tiles.h"

#include <algorithm>

namespace vantrel {
namespace {

// The text centred in `area`: left edge at (width - text width) div 2, likewise for the top.
void DrawCentredText(RgbBitmap& bitmap, const PixelArea& area, const TileTextPainter* painter,
                     const std::string& text) {
    if (painter == nullptr || text.empty()) return;
    const TextExtent extent = painter->MeasureText(text, kTileTextPoints);
    painter->DrawText(bitmap, area.left + (area.width - extent.width) / 2, area.top + (area.height - extent.height) / 2,
                      text, kTileTextPoints);
}

}  // namespace

PixelArea FitRect(int width, int height) {
    PixelArea r;
    if (width <= 0 || height <= 0) return r;
    if (width > height) {
        r.width = kTileSize;
        r.height = static_cast<int>(static_cast<std::int64_t>(height) * kTileSize / width);
        r.top = (kTileSize - r.height) / 2;
    } else {
        r.height = kTileSize;
        r.width = static_cast<int>(static_cast<std::int64_t>(width) * kTileSize / height);
        r.left = (kTileSize - r.width) / 2;
    }
    return r;
}

void DrawTileFrame(RgbBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0) return;
    for (int x = 0; x < w; ++x) {
        bitmap.SetPixel(x, 0, kTileFrameGrey);
        bitmap.SetPixel(x, h - 1, kTileFrameGrey);
    }
    for (int y = 0; y < h; ++y) {
        bitmap.SetPixel(0, y, kTileFrameGrey);
        bitmap.SetPixel(w - 1, y, kTileFrameGrey);
    }
}

void DrawBadImageTile(RgbBitmap& bitmap, const TileTextPainter* painter, const std::string& text) {
    if (!bitmap.Resize(kTileSize, kTileSize)) return;
    bitmap.Fill(kTileSilver);
    DrawCentredText(bitmap, {0, 0, kTileSize, kTileSize}, painter, text);
    DrawTileFrame(bitmap);
}

void MakeThumbTile(RgbBitmap& bitmap, RgbBitmap& scratch, const TileTextPainter* painter, const std::string& text) {
    const PixelArea rect = FitRect(bitmap.Width(), bitmap.Height());
    if (!scratch.Resize(kTileSize, kTileSize)) return;
    scratch.Fill(kTileWhite);
    if (!StretchInto(bitmap, scratch, rect)) {
        scratch.Fill(kTileSilver);
        const PixelArea area = rect.width > 0 ? rect : PixelArea{0, 0, kTileSize, kTileSize};
        DrawCentredText(scratch, area, painter, text);
    }
    DrawTileFrame(scratch);
    // The tile goes into the caller's bitmap; its large buffer stays with it for the next decode.
    bitmap.Resize(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y)
        std::copy_n(scratch.Row(y), scratch.Stride(), bitmap.Row(y));
}

}  // namespace vantrel
