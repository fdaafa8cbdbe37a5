#pragma once
// Rewriting a photo's EXIF block for a copy whose pixels are already upright: Orientation
// becomes 1, the pixel dimensions are those of the new picture, and the embedded thumbnail
// (the second image directory) is dropped, since it would show the old picture.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/imaging/ImageParams.h"

namespace vantrel {

// The APP1 segment data `app1` (starting with "Exif\0\0") rewritten for an upright picture of
// width x height: Orientation (0x0112) set to 1, ImageWidth/ImageLength of the first directory
// and PixelXDimension/PixelYDimension (0xA002/0xA003) of the EXIF directory set, the link to the
// thumbnail's directory cleared and the thumbnail's bytes blanked. Every other byte is kept.
// Empty when the block cannot be read (bad header, first directory outside the block): the
// caller then drops the segment. Reads and writes only inside the block, without recursion.
std::optional<std::string> UprightExifSegment(std::string_view app1, int width, int height);

// The metadata segments of a photo, in their order, for an upright copy of width x height:
// every EXIF segment rewritten by UprightExifSegment (or left out when unreadable), every
// other segment (ICC profile, IPTC, XMP, comments) as it is.
std::vector<MetadataSegment> UprightMetadata(const std::vector<MetadataSegment>& segments, int width, int height);

// Whether an APP1 segment's data is an EXIF block.
bool IsExifSegment(const MetadataSegment& segment);

}  // namespace vantrel
