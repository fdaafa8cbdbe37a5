#pragma once
// Points and rectangles in photo pixels, as the retouch tools and their frames use them.

#include <cmath>

namespace vantrel {

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Left and top inclusive, right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A frame with fractional edges (the crop frame and the title frame).
struct FrameBounds {
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// Rounding to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4), as every size and
// position shown or applied by the retouch tools is rounded.
inline int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

}  // namespace vantrel
