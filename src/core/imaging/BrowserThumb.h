#pragma once
// The tile of one entry of the folder browser, made fast: only the header is read for the
// caption data, and the picture is decoded at the smallest DCT scale that still gives 96
// pixels, with the fast integer inverse DCT. Four-component and damaged photos fall back to a
// full decode.

#include <string>

#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/Tiles.h"

namespace vantrel {

enum class BrowserThumbResult {
    Tile,         // the work bitmap holds the photo's tile
    Placeholder,  // the photo could not be decoded; the work bitmap holds the placeholder tile
    BadPicture,   // the file could not be opened, is no regular file (a pipe, socket or device
                  // named like a photo) or is not a JPEG: the work bitmap holds the placeholder
                  // and the caller tells the user (BadPictErr with the file name)
};

// The DCT scale denominator for a photo of width x height: r = min(width div side, height div
// side) for tiles of `tileSide` pixels; r < 2 gives 1, r < 4 gives 2, r < 8 gives 4, else 8.
int BrowserDecodeScale(int width, int height, int tileSide = kTileSize);

// Makes the browser tile of the photo at `path` in ws.workBitmap, `tileSide` pixels a side;
// ws.params holds its header data afterwards. Never throws.
BrowserThumbResult MakeBrowserThumb(ImageWorkspace& ws, const std::string& path, int tileSide = kTileSize);

}  // namespace vantrel
