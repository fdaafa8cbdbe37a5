#pragma once
// Where a window may go on a screen: a kept place and size brought within the screen's free area
// (without the panels), so that a window kept on a larger screen, or on one no longer there,
// opens whole and reachable.

#include "core/app/UserSettings.h"

namespace vantrel {

// A rectangle of the desktop in logical pixels.
struct ScreenArea {
    int Left, Top, Width, Height;
};

// The space the window manager adds around a window's client area (title bar, borders).
struct FrameExtent {
    int Width = 0, Height = 0;
};

// `placement` (its frame's corner, its client size) made to fit `area`: the client size shrunk
// so that the frame fits, then the frame moved, as little as it takes, to lie within the area.
// A position off the area comes back onto it. The state is kept.
WindowPlacement FitPlacement(const WindowPlacement& placement, const ScreenArea& area, FrameExtent frame);

}  // namespace vantrel
