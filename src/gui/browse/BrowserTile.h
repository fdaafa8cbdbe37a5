#pragma once
// One finished tile of the thumbnail list, made off the user-interface thread: the tile as an
// image, the header data for the caption and the file's size.

#include <QImage>
#include <cstdint>
#include <string>

#include "core/browse/TileCache.h"
#include "core/imaging/ImageWorkspace.h"

namespace vantrel::gui {

struct BrowserTile {
    std::string path;          // full path of the entry
    QImage tile;               // 96 x 96: the photo's tile or the placeholder
    int width = 0;             // from the file's header (0 when it cannot be read)
    int height = 0;
    std::uint64_t size = 0;    // bytes; 0 for an entry that is no file
    bool badPicture = false;   // the file could not be opened or is no JPEG: the user is told
};

// Makes the tile of `path` with the given workspace (one workspace per thread), taking it from
// `cache` when the photo's tile is stored there and storing a freshly decoded one. Never throws.
BrowserTile DecodeBrowserTile(ImageWorkspace& ws, const std::string& path, TileCache* cache = nullptr);

}  // namespace vantrel::gui
