#include "core/retouch/LayerBlend.h"

#include <algorithm>
#include <cstdint>

namespace vantrel {

namespace {

// (v + 127) / 255 without a division, exact for 0 <= v <= 255 x 255.
inline std::uint32_t DivideBy255(std::uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

}  // namespace

void BlendLayer(Bitmap32& photo, const Bitmap32& layer, int x, int y) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(photo.Width(), x + layer.Width());
    const int y1 = std::min(photo.Height(), y + layer.Height());
    if (x0 >= x1 || y0 >= y1) return;
    for (int py = y0; py < y1; ++py) {
        std::uint32_t* out = photo.Row(py);
        const std::uint32_t* in = layer.Row(py - y) + (x0 - x);
        const int n = x1 - x0;
        for (int i = 0; i < n; ++i) {
            const std::uint32_t l = in[i], p = out[x0 + i];
            const std::uint32_t a = l >> 24, na = 255 - a;
            const std::uint32_t r = DivideBy255(((l >> 16) & 0xFF) * a + ((p >> 16) & 0xFF) * na);
            const std::uint32_t g = DivideBy255(((l >> 8) & 0xFF) * a + ((p >> 8) & 0xFF) * na);
            const std::uint32_t b = DivideBy255((l & 0xFF) * a + (p & 0xFF) * na);
            out[x0 + i] = (p & 0xFF000000u) | (r << 16) | (g << 8) | b;
        }
    }
}

}  // namespace vantrel
