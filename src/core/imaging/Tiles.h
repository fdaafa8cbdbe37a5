#pragma once
// The 96 x 96 tiles of the folder browser and the album lists: a picture fitted on white with
// a one-pixel grey frame, and the silver placeholder of a photo that cannot be shown.

#include <cstdint>
#include <string>

#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/RgbBitmap.h"
#include "core/imaging/Stretch.h"
#include "core/imaging/TileTextPainter.h"

namespace vantrel {

inline constexpr int kTileSize = 96;
inline constexpr std::uint32_t kTileWhite = 0xFFFFFF;
inline constexpr std::uint32_t kTileFrameGrey = 0x808080;
inline constexpr std::uint32_t kTileSilver = 0xC0C0C0;
inline constexpr int kTileTextPoints = 6;

// Tiles are 96 pixels a side on an ordinary screen; a screen of device pixel ratio r gets tiles
// of 96 r pixels (`tileSide`), drawn alike at that scale, so they are as sharp as its text.
inline int TileSideFor(double devicePixelRatio) {
    const int side = static_cast<int>(kTileSize * devicePixelRatio + 0.5);
    return side < kTileSize ? kTileSize : (side > 4 * kTileSize ? 4 * kTileSize : side);
}

// Where a picture of width x height goes on a tile: a landscape picture is `tileSide` wide and
// centred vertically, a portrait or square one is `tileSide` high and centred horizontally
// (integer division truncating). A side of 0 gives an empty rectangle.
PixelArea FitRect(int width, int height, int tileSide = kTileSize);

// Draws the grey frame on the outer edge of the bitmap: one pixel wide on a 96-pixel tile, as
// wide as a pixel of the screen on a larger one.
void DrawTileFrame(RgbBitmap& bitmap);

// Replaces the bitmap by the placeholder tile: silver, the text centred on the tile in 6-point
// black type (when a painter is given; scaled with the tile), and the grey frame.
void DrawBadImageTile(RgbBitmap& bitmap, const TileTextPainter* painter, const std::string& text,
                      int tileSide = kTileSize);
inline void DrawBadImageTile(ImageWorkspace& ws, RgbBitmap& bitmap) {
    DrawBadImageTile(bitmap, ws.textPainter, ws.badImageText);
}

// Replaces the bitmap by a tile of its picture: the picture stretched into its fit rectangle
// on white, then the frame. A picture with no pixels gives a silver tile with the text centred
// and the frame. `scratch` is used for the tile being built.
void MakeThumbTile(RgbBitmap& bitmap, RgbBitmap& scratch, const TileTextPainter* painter, const std::string& text,
                   int tileSide = kTileSize);
inline void MakeThumbTile(ImageWorkspace& ws) {
    MakeThumbTile(ws.workBitmap, ws.scratch, ws.textPainter, ws.badImageText, ws.tileSide);
}

}  // namespace vantrel
