#include "core/browse/BrowserTile.h"

#include "core/imaging/BrowserThumb.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/FileBytes.h"

namespace vantrel {

BrowserTile DecodeBrowserTile(ImageWorkspace& ws, const std::string& path, TileCache* cache, int tileSide,
                              bool withPixels) {
    BrowserTile out;
    out.path = path;
    if (cache != nullptr) {
        if (auto cached = cache->Find(path, tileSide, withPixels)) {
            out.width = cached->width;
            out.height = cached->height;
            out.size = FileSizeOf(path);
            out.tile = std::move(cached->tile);
            return out;
        }
    }
    const BrowserThumbResult result = MakeBrowserThumb(ws, path, tileSide);
    out.placeholder = result != BrowserThumbResult::Tile;
    out.badPicture = result == BrowserThumbResult::BadPicture;
    // The tile and the dimensions shown are the photo's as it is seen, upright.
    const int orientation = ExifOrientation(ws.params.metadata);
    if (result == BrowserThumbResult::Tile) OrientUpright(ws.workBitmap, ws.scratch, orientation);
    const bool swapped = SwapsSides(orientation);
    out.width = swapped ? ws.params.height : ws.params.width;
    out.height = swapped ? ws.params.width : ws.params.height;
    out.size = FileSizeOf(path);
    out.tile = ws.workBitmap;
    // Placeholders are not kept: their text follows the language, and a damaged file is rare.
    if (cache != nullptr && result == BrowserThumbResult::Tile) {
        CachedTile entry;
        entry.tile = ws.workBitmap;
        entry.width = out.width;
        entry.height = out.height;
        cache->Store(path, entry);
    }
    return out;
}

}  // namespace vantrel
