#pragma once
// Point-sampled stretching: every target pixel takes the colour of one source pixel, rows and
// columns being dropped or repeated; no averaging. Used for every change of size.

#include <cstdint>

#include "core/imaging/RgbBitmap.h"

namespace vantrel {

// A part of a bitmap by its corner and size (the retouch tools' PixelRect is given by its edges).
struct PixelArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelArea&) const = default;
};

// Target pixel x of a stretch from `sourceSize` to `targetSize` takes source pixel
// x * sourceSize / targetSize.
inline int SourceIndex(int target, int sourceSize, int targetSize) {
    return static_cast<int>(static_cast<std::int64_t>(target) * sourceSize / targetSize);
}

// Stretches the whole `source` into the rectangle `rect` of `target` (clipped to the target).
// Returns false when there is nothing to copy from (an empty source).
bool StretchInto(const RgbBitmap& source, RgbBitmap& target, const PixelArea& rect);

}  // namespace vantrel
