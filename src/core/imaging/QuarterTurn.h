#pragma once
// Quarter turns of a pixel array of any pixel type, walked in small square blocks so that
// both the reads and the writes stay in cache on large photos.

#include <algorithm>
#include <cstddef>

namespace vantrel {

// Turns the W x H array `src` into the H x W array `dst`. Clockwise, (x, y) goes to
// (H - 1 - y, x); counter-clockwise, to (y, W - 1 - x).
template <typename Pixel>
void TurnPixels(const Pixel* src, int width, int height, Pixel* dst, bool clockwise) {
    constexpr int kBlock = 64;
    const std::size_t W = static_cast<std::size_t>(width), H = static_cast<std::size_t>(height);
    for (int by = 0; by < height; by += kBlock) {
        const int ey = std::min(height, by + kBlock);
        for (int bx = 0; bx < width; bx += kBlock) {
            const int ex = std::min(width, bx + kBlock);
            for (int y = by; y < ey; ++y) {
                const Pixel* s = src + y * W;
                if (clockwise) {
                    for (int x = bx; x < ex; ++x) dst[x * H + (H - 1 - y)] = s[x];
                } else {
                    for (int x = bx; x < ex; ++x) dst[(W - 1 - x) * H + y] = s[x];
                }
            }
        }
    }
}

}  // namespace vantrel
