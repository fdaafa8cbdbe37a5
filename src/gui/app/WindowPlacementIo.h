#pragma once
// The main window's place and size as the settings file keeps them.

#include "core/app/UserSettings.h"

class QWidget;

namespace vantrel::gui {

// Puts `window` where `placement` says. Without a kept placement (a first run) it takes most of
// the screen, centred, rather than its smallest size at a corner.
void ApplyWindowPlacement(QWidget& window, const WindowPlacement& placement, bool firstRun);
// Where `window` is now: its frame's corner, its size and state. A minimised window gives the
// place and size it comes back to.
WindowPlacement CurrentWindowPlacement(const QWidget& window);

}  // namespace vantrel::gui
