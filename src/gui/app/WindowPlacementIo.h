#pragma once
// The main window's place and size as the settings file keeps them.

#include "core/app/UserSettings.h"

class QSize;
class QWidget;

namespace vantrel::gui {

// Puts `window` where `placement` says, at least at its `designed` size, all brought within the
// free area of the screen it lies on (the primary screen when it lies on none): on a small screen
// the screen wins. Without a kept placement (a first run) it takes most of the screen, centred,
// rather than its smallest size at a corner.
void ApplyWindowPlacement(QWidget& window, const WindowPlacement& placement, bool firstRun, const QSize& designed);
// Where `window` is now: its frame's corner, its size and state. A minimised window gives the
// place and size it comes back to.
WindowPlacement CurrentWindowPlacement(const QWidget& window);

}  // namespace vantrel::gui
