#include "core/imaging/Tiles.h"

#include <algorithm>

namespace vantrel {
namespace {

// The text centred in `area`: left edge at (width - text width) div 2, likewise for the top.
void DrawCentredText(RgbBitmap& bitmap, const PixelArea& area, const TileTextPainter* painter,
                     const std::string& text, int tileSide) {
    if (painter == nullptr || text.empty()) return;
    const int points = kTileTextPoints * tileSide / kTileSize;
    const TextExtent extent = painter->MeasureText(text, points);
    painter->DrawText(bitmap, area.left + (area.width - extent.width) / 2, area.top + (area.height - extent.height) / 2,
                      text, points);
}

}  // namespace

PixelArea FitRect(int width, int height, int tileSide) {
    PixelArea r;
    if (width <= 0 || height <= 0) return r;
    if (width > height) {
        r.width = tileSide;
        r.height = static_cast<int>(static_cast<std::int64_t>(height) * tileSide / width);
        r.top = (tileSide - r.height) / 2;
    } else {
        r.height = tileSide;
        r.width = static_cast<int>(static_cast<std::int64_t>(width) * tileSide / height);
        r.left = (tileSide - r.width) / 2;
    }
    return r;
}

void DrawTileFrame(RgbBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0) return;
    const int thickness = std::max(1, std::min(w, h) / kTileSize);
    for (int t = 0; t < thickness; ++t) {
        for (int x = 0; x < w; ++x) {
            bitmap.SetPixel(x, t, kTileFrameGrey);
            bitmap.SetPixel(x, h - 1 - t, kTileFrameGrey);
        }
        for (int y = 0; y < h; ++y) {
            bitmap.SetPixel(t, y, kTileFrameGrey);
            bitmap.SetPixel(w - 1 - t, y, kTileFrameGrey);
        }
    }
}

void DrawBadImageTile(RgbBitmap& bitmap, const TileTextPainter* painter, const std::string& text, int tileSide) {
    if (!bitmap.Resize(tileSide, tileSide)) return;
    bitmap.Fill(kTileSilver);
    DrawCentredText(bitmap, {0, 0, tileSide, tileSide}, painter, text, tileSide);
    DrawTileFrame(bitmap);
}

void MakeThumbTile(RgbBitmap& bitmap, RgbBitmap& scratch, const TileTextPainter* painter, const std::string& text,
                   int tileSide) {
    const PixelArea rect = FitRect(bitmap.Width(), bitmap.Height(), tileSide);
    if (!scratch.Resize(tileSide, tileSide)) return;
    scratch.Fill(kTileWhite);
    if (!StretchInto(bitmap, scratch, rect)) {
        scratch.Fill(kTileSilver);
        const PixelArea area = rect.width > 0 ? rect : PixelArea{0, 0, tileSide, tileSide};
        DrawCentredText(scratch, area, painter, text, tileSide);
    }
    DrawTileFrame(scratch);
    // The tile goes into the caller's bitmap; its large buffer stays with it for the next decode.
    bitmap.Resize(tileSide, tileSide);
    for (int y = 0; y < tileSide; ++y)
        std::copy_n(scratch.Row(y), scratch.Stride(), bitmap.Row(y));
}

}  // namespace vantrel
