#pragma once
// A bitmap of 32-bit pixels 0xAARRGGBB (blue in the lowest byte), the form in which the
// retouch work and the quarter turns handle a photo.

#include <cstdint>
#include <vector>

#include "core/imaging/RgbBitmap.h"

namespace vantrel {

class Bitmap32 {
public:
    Bitmap32() = default;
    Bitmap32(int width, int height, std::uint32_t fill = 0xFF000000u) { Resize(width, height, fill); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    std::uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, std::uint32_t argb) { Row(y)[x] = argb; }

    // New size, every pixel set to `fill`.
    void Resize(int width, int height, std::uint32_t fill = 0xFF000000u);

    // Copies the rectangle (x, y, w, h) of `source` to (dx, dy) of this bitmap; the parts that
    // fall outside either bitmap are clipped.
    void CopyRect(const Bitmap32& source, int x, int y, int w, int h, int dx, int dy);

    // This bitmap turned by a quarter turn. Clockwise, the pixel at (x, y) goes to
    // (H - 1 - y, x); counter-clockwise, to (y, W - 1 - x).
    Bitmap32 TurnedClockwise() const;
    Bitmap32 TurnedCounterClockwise() const;

    // The pixels of an RGB bitmap, opaque.
    static Bitmap32 FromRgb(const RgbBitmap& source);
    // Writes the colour of every pixel into `target` (the alpha channel is dropped). Returns
    // false when `target` cannot take the size.
    bool ToRgb(RgbBitmap& target) const;

private:
    Bitmap32 Turned(bool clockwise) const;
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vantrel
