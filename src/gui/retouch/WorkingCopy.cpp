#include "gui/retouch/WorkingCopy.h"

#include "core/imaging/ExifOrientation.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/Tiles.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {

Bitmap32 ReadWorkingCopy(ImageWorkspace& ws, const std::string& path) {
    ReadImageHeader(ws, path);
    if (!LoadImage(ws, path).HasPicture()) DrawBadImageTile(ws, ws.workBitmap);
    else TurnUpright(ws);
    return Bitmap32::FromRgb(ws.workBitmap);
}

std::optional<QPixmap> WriteWorkingCopy(ImageWorkspace& ws, const Bitmap32& photo, const std::string& path,
                                        int quality) {
    if (!SaveEditedJpegKeepingMetadata(ws, photo, path, quality)) return std::nullopt;
    // Saving leaves the new tile in the work bitmap.
    return TilePixmap(ws.workBitmap);
}

}  // namespace vantrel::gui
