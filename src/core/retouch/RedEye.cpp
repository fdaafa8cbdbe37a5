#include "core/retouch/RedEye.h"

#include <algorithm>
#include <cmath>

#include "core/retouch/LayerBlend.h"
#include "core/retouch/RetouchPixels.h"

namespace vantrel {

const char* RedEyeMessageKey(RedEyeError error) {
    return error == RedEyeError::OutsidePhoto ? "SelInImage" : "SelNotEmpty";
}

static int RoundChannel(float v) { return std::clamp(int(std::nearbyint(v)), 0, 255); }

std::uint32_t CorrectRedEyePixel(std::uint32_t argb) {
    const float r = float(RedOf(argb)), g = float(GreenOf(argb)), b = float(BlueOf(argb));
    const float e = std::max(g + b, 1.0f);
    const float s = std::clamp(std::sqrt(g > 1.0f ? b / g : b), 0.5f, 1.5f);
    const float c = r / e * s;
    if (c <= 0.7f) return argb;
    const float f = std::max(1.775f - (0.75f * c + 0.25f), 0.0f);
    const float k = f * f;
    const int nr = RoundChannel(r * k);
    const int nb = RoundChannel(b * (1.0f - (1.0f - k) / 2.0f));
    const int ng = RoundChannel(g * (1.0f - (1.0f - k) / 4.0f));
    return MakeArgb(AlphaOf(argb), nr, ng, nb);
}

PixelRect RedEyeSelection(PixelPoint start, PixelPoint end) {
    return {std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x), std::max(start.y, end.y)};
}

std::expected<PixelRect, RedEyeError> RedEyeArea(PixelRect selection, int width, int height) {
    const PixelRect area{std::max(selection.left, 0), std::max(selection.top, 0),
                          std::min(selection.right, std::max(width, 0)),
                          std::min(selection.bottom, std::max(height, 0))};
    if (area.left > area.right || area.top > area.bottom) return std::unexpected(RedEyeError::OutsidePhoto);
    if (area.left == area.right || area.top == area.bottom) return std::unexpected(RedEyeError::EmptySelection);
    return area;
}

bool InsideEllipse(const PixelRect& rect, int x, int y) {
    const double rx = rect.Width() / 2.0, ry = rect.Height() / 2.0;
    if (rx <= 0 || ry <= 0) return false;
    const double dx = (x + 0.5 - (rect.left + rx)) / rx;
    const double dy = (y + 0.5 - (rect.top + ry)) / ry;
    return dx * dx + dy * dy <= 1.0;
}

std::expected<void, RedEyeError> CorrectRedEye(Bitmap32& photo, PixelPoint start, PixelPoint end) {
    const PixelRect selection = RedEyeSelection(start, end);
    const auto area = RedEyeArea(selection, photo.Width(), photo.Height());
    if (!area) return std::unexpected(area.error());

    // The corrected patch, opaque inside the ellipse and transparent outside, blended back.
    Bitmap32 patch(area->Width(), area->Height(), 0);
    patch.CopyRect(photo, area->left, area->top, area->Width(), area->Height(), 0, 0);
    for (int y = 0; y < patch.Height(); ++y) {
        std::uint32_t* row = patch.Row(y);
        for (int x = 0; x < patch.Width(); ++x) {
            const std::uint32_t alpha = InsideEllipse(selection, area->left + x, area->top + y) ? 0xFF000000u : 0u;
            row[x] = (CorrectRedEyePixel(row[x]) & 0x00FFFFFFu) | alpha;
        }
    }
    BlendLayer(photo, patch, area->left, area->top);
    return {};
}

}  // namespace vantrel
