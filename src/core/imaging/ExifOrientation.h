#pragma once
// The EXIF orientation of a photo (tag 0x0112 of the first image directory): how the stored
// picture must be turned or mirrored to show upright. Cameras and phones store the sensor's
// picture as it was taken and only note which way the camera was held.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/imaging/ImageParams.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/RgbBitmap.h"

namespace vantrel {

// 1 (upright as stored) .. 8, as the EXIF standard numbers them: 3 is a half turn, 6 needs a
// quarter turn clockwise, 8 a quarter turn counter-clockwise; 2, 4, 5 and 7 are mirrored.
inline constexpr int kUpright = 1;

// The orientation written in an APP1 segment's data (starting with "Exif\0\0"); 1 when the
// segment is not EXIF, is damaged or cut short, or holds no orientation or a value outside 1..8.
// Reads only inside `app1` and walks one directory without recursion.
int ExifOrientationOfSegment(std::string_view app1);

// The orientation of the first EXIF segment among a photo's metadata segments; 1 without one.
int ExifOrientation(const std::vector<MetadataSegment>& metadata);

class TimgData;
// The orientation in a scanned file's EXIF segment; 1 without one.
int ExifOrientationOf(const TimgData& scan);
// The orientation of the photo at `path` (its head is read); 1 when it has none or cannot be read.
int ExifOrientationOfFile(const std::string& path);

// Whether the orientation exchanges width and height (5 to 8).
inline bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// Turns and mirrors the picture so that it shows upright; `scratch` holds the turned copy of
// orientations 5 to 8 and is exchanged with `bitmap`. Without memory for the copy the picture
// stays as stored. Orientation 1 and values outside 1..8 leave it unchanged.
void OrientUpright(RgbBitmap& bitmap, RgbBitmap& scratch, int orientation);

// The work bitmap upright after a decode of a photo that gave its picture (LoadImage or the
// browser's tile), by the orientation in ws.params.metadata. Not for a placeholder.
void TurnUpright(ImageWorkspace& ws);

}  // namespace vantrel
