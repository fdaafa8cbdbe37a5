#include "gui/browse/BrowserTile.h"

#include "core/imaging/BrowserThumb.h"
#include "core/imaging/FileBytes.h"
#include "gui/app/TileImages.h"

namespace vantrel::gui {

BrowserTile DecodeBrowserTile(ImageWorkspace& ws, const std::string& path) {
    BrowserTile out;
    out.path = path;
    out.badPicture = MakeBrowserThumb(ws, path) == BrowserThumbResult::BadPicture;
    out.width = ws.params.width;
    out.height = ws.params.height;
    out.size = FileSizeOf(path);
    out.tile = ToQImage(ws.workBitmap);
    return out;
}

}  // namespace vantrel::gui
