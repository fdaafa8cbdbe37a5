#include "core/imaging/Bitmap32.h"

#include <algorithm>

#include "core/imaging/QuarterTurn.h"

namespace vantrel {

void Bitmap32::Resize(int width, int height, std::uint32_t fill) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, fill);
}

void Bitmap32::CopyRect(const Bitmap32& source, int x, int y, int w, int h, int dx, int dy) {
    if (x < 0) { w += x; dx -= x; x = 0; }
    if (y < 0) { h += y; dy -= y; y = 0; }
    if (dx < 0) { w += dx; x -= dx; dx = 0; }
    if (dy < 0) { h += dy; y -= dy; dy = 0; }
    w = std::min({w, source.width_ - x, width_ - dx});
    h = std::min({h, source.height_ - y, height_ - dy});
    if (w <= 0 || h <= 0) return;
    for (int row = 0; row < h; ++row)
        std::copy_n(source.Row(y + row) + x, w, Row(dy + row) + dx);
}

Bitmap32 Bitmap32::Turned(bool clockwise) const {
    Bitmap32 out;
    out.width_ = height_;
    out.height_ = width_;
    out.pixels_.resize(pixels_.size());
    TurnPixels(pixels_.data(), width_, height_, out.pixels_.data(), clockwise);
    return out;
}

Bitmap32 Bitmap32::TurnedClockwise() const { return Turned(true); }

Bitmap32 Bitmap32::TurnedCounterClockwise() const { return Turned(false); }

Bitmap32 Bitmap32::FromRgb(const RgbBitmap& source) {
    Bitmap32 out;
    out.width_ = source.Width();
    out.height_ = source.Height();
    out.pixels_.resize(static_cast<std::size_t>(out.width_) * out.height_);
    for (int y = 0; y < out.height_; ++y) {
        const std::uint8_t* s = source.Row(y);
        std::uint32_t* d = out.Row(y);
        for (int x = 0; x < out.width_; ++x)
            d[x] = 0xFF000000u | (std::uint32_t(s[3 * x]) << 16) | (std::uint32_t(s[3 * x + 1]) << 8) | s[3 * x + 2];
    }
    return out;
}

bool Bitmap32::ToRgb(RgbBitmap& target) const {
    if (!target.Resize(width_, height_)) return false;
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* s = Row(y);
        std::uint8_t* d = target.Row(y);
        for (int x = 0; x < width_; ++x) {
            d[3 * x] = std::uint8_t(s[x] >> 16);
            d[3 * x + 1] = std::uint8_t(s[x] >> 8);
            d[3 * x + 2] = std::uint8_t(s[x]);
        }
    }
    return true;
}

}  // namespace vantrel
