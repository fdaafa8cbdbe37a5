#pragma once
// One finished tile of the folder browser, made off the thread that shows it: the tile, the
// header data for the caption and the file's size.

#include <cstdint>
#include <string>

#include "core/browse/TileCache.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/RgbBitmap.h"

namespace vantrel {

struct BrowserTile {
    std::string path;          // full path of the entry
    RgbBitmap tile;            // 96 x 96, upright: the photo's tile or the placeholder
    int width = 0;             // as the photo is seen, from the file's header (0 when unreadable)
    int height = 0;
    std::uint64_t size = 0;    // bytes; 0 for an entry that is no file
    bool placeholder = false;  // the tile is the placeholder (the photo could not be decoded)
    bool badPicture = false;   // the file could not be opened or is no JPEG: the user is told
};

// Makes the tile of `path` with the given workspace (one workspace per thread), taking it from
// `cache` when the photo's tile is stored there and storing a freshly decoded one (placeholders
// are never stored). Never throws.
BrowserTile DecodeBrowserTile(ImageWorkspace& ws, const std::string& path, TileCache* cache = nullptr);

}  // namespace vantrel
