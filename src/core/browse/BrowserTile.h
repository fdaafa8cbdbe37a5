#pragma once
// One finished tile of the folder browser, made off the thread that shows it: the tile, the
// header data for the caption and the file's size.

#include <cstdint>
#include <string>

#include "core/browse/TileCache.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/RgbBitmap.h"
#include "core/imaging/Tiles.h"

namespace vantrel {

struct BrowserTile {
    std::string path;          // full path of the entry
    RgbBitmap tile;            // square (96 pixels a side at a ratio of 1), upright: the photo's tile or the placeholder
    int width = 0;             // as the photo is seen, from the file's header (0 when unreadable)
    int height = 0;
    std::uint64_t size = 0;    // bytes; 0 for an entry that is no file
    bool placeholder = false;  // the tile is the placeholder (the photo could not be decoded)
    bool badPicture = false;   // the file could not be opened or is no JPEG: the user is told
};

// Makes the tile of `path`, `tileSide` pixels a side, with the given workspace (one workspace
// per thread), taking it from `cache` when the photo's tile of that side is stored there and
// storing a freshly decoded one (placeholders are never stored). Without `withPixels` a tile
// found in the cache comes back empty (only the dimensions and size are wanted), which spares
// unpacking its pixels. Never throws.
BrowserTile DecodeBrowserTile(ImageWorkspace& ws, const std::string& path, TileCache* cache = nullptr,
                              int tileSide = kTileSize, bool withPixels = true);

}  // namespace vantrel
