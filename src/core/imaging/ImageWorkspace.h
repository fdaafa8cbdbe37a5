#pragma once
// The shared objects of the image operations: the work bitmap that every decode writes to, the
// parameters of the last file read, and what the tile drawing needs from the program. One
// workspace serves one caller at a time; no two operations on it may overlap.

#include <cstdint>
#include <functional>
#include <string>

#include "core/imaging/ImageParams.h"
#include "core/imaging/RgbBitmap.h"
#include "core/imaging/TileTextPainter.h"

namespace vantrel {

class SharedMemoryBudget;

struct ImageWorkspace {
    // The work bitmap: a decoded photo, a 96 x 96 tile or a scaled copy, depending on the last
    // operation. Callers copy what they need from it before the next operation.
    RgbBitmap workBitmap{96, 96};
    // Second buffer for scaling and turning, kept so that large buffers are allocated once.
    RgbBitmap scratch;
    // Header data and decode outcome of the last file read.
    ImageParams params;
    // Decoding progress in per cent (0..100) while LoadImage runs; may be empty.
    std::function<void(int)> progress;
    // Draws the text of placeholder tiles; without one, placeholders are plain silver and frame.
    const TileTextPainter* textPainter = nullptr;
    // The text of placeholder tiles (the BadJpegErr language text).
    std::string badImageText;
    // The side of the tiles made here, in pixels: 96 times the screen's pixel ratio, so that a
    // tile is sharp on a scaled screen.
    int tileSide = 96;
    // The DCT scale denominator (1, 2, 4 or 8) of the last browser tile decode.
    int lastDecodeScale = 1;
    // The bytes a decode on this workspace may use in all (picture and codec); 0: the whole
    // DecodeMemoryBudget. Less when the workspace's share of a shared budget says so.
    std::uint64_t decodeBudget = 0;
    // The budget that this workspace shares with others at work at once (see
    // SharedMemoryBudget.h); null when it works alone.
    SharedMemoryBudget* sharedBudget = nullptr;
    // Whether a decode brings a photo with another RGB colour profile to sRGB (see
    // SrgbConversion.h). Off only where the pixels are written back under the photo's own profile.
    bool convertToSrgb = true;
};

}  // namespace vantrel
