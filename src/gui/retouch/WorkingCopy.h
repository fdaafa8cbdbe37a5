#pragma once
// Reading and writing the working copy of a photo for the retouch dialog.

#include <QPixmap>
#include <optional>
#include <string>

#include "core/imaging/Bitmap32.h"
#include "core/imaging/ImageWorkspace.h"

namespace vantrel::gui {

// The photo in the working copy at `path` as the user sees it (turned upright, since retouches
// start from that picture); the bad picture's tile when it cannot be read.
Bitmap32 ReadWorkingCopy(ImageWorkspace& workspace, const std::string& path);

// Writes `photo` over the working copy at `path` at JPEG quality `quality`, keeping the working
// copy's metadata (its EXIF saying Orientation 1 and the new size). Returns the tile of
// the photo written, or nothing when writing failed (the working copy then stays as it was).
std::optional<QPixmap> WriteWorkingCopy(ImageWorkspace& workspace, const Bitmap32& photo, const std::string& path,
                                        int quality);

}  // namespace vantrel::gui
