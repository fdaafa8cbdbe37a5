#pragma once
// Quarter turns of a JPEG file without decoding it: the DCT blocks are moved and turned, as
// jpegtran does, so that no quality is lost. The file's own orientation is folded into the
// same move, so that the turned file is upright as stored and its EXIF says Orientation 1.

#include <expected>
#include <string>
#include <string_view>

namespace vantrel {

struct LosslesslyTurned {
    std::string jpeg;  // the whole new file
    int width = 0;
    int height = 0;
};

// The JPEG file `jpeg`, shown upright by the EXIF `orientation` (1..8; anything else counts as
// 1), turned a quarter clockwise or counter-clockwise. Every segment is copied over; the EXIF
// block is rewritten by UprightExifSegment (dropped when unreadable). The error says why it
// cannot be done exactly ("the size is not a multiple of the 16x16 blocks", a picture too large
// for the decode memory budget, a file the codec cannot read): the caller then re-encodes.
std::expected<LosslesslyTurned, std::string> TurnJpegLosslessly(std::string_view jpeg, int orientation,
                                                                bool clockwise);

}  // namespace vantrel
