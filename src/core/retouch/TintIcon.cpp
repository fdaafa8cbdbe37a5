#include "core/retouch/TintIcon.h"

#include <utility>
#include <vector>

namespace vantrel {

void FloodFill(Bitmap32& bitmap, int x, int y, std::uint32_t colour) {
    if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return;
    const std::uint32_t target = bitmap.Pixel(x, y);
    if (target == colour) return;
    std::vector<std::pair<int, int>> pending{{x, y}};
    while (!pending.empty()) {
        const auto [px, py] = pending.back();
        pending.pop_back();
        if (px < 0 || py < 0 || px >= bitmap.Width() || py >= bitmap.Height()) continue;
        if (bitmap.Pixel(px, py) != target) continue;
        bitmap.SetPixel(px, py, colour);
        pending.insert(pending.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
    }
}

void PaintTintIcon(Bitmap32& icon, std::uint32_t tintColour) {
    FloodFill(icon, 15, 15, 0xFF000000u | (tintColour & 0x00FFFFFFu));
    FloodFill(icon, 0, 0, kIconTransparentColour);
}

}  // namespace vantrel
