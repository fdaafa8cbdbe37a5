#include "core/app/WindowFit.h"

#include <algorithm>

namespace vantrel {

WindowPlacement FitPlacement(const WindowPlacement& placement, const ScreenArea& area, FrameExtent frame) {
    WindowPlacement fitted = placement;
    fitted.Right = std::clamp(placement.Right, 1, std::max(1, area.Width - frame.Width));
    fitted.Bottom = std::clamp(placement.Bottom, 1, std::max(1, area.Height - frame.Height));
    const int frameWidth = fitted.Right + frame.Width, frameHeight = fitted.Bottom + frame.Height;
    // The frame's far edge first, then its near edge: on an area smaller than the frame the
    // title bar stays on screen.
    fitted.Left = std::max(std::min(placement.Left, area.Left + area.Width - frameWidth), area.Left);
    fitted.Top = std::max(std::min(placement.Top, area.Top + area.Height - frameHeight), area.Top);
    return fitted;
}

}  // namespace vantrel
