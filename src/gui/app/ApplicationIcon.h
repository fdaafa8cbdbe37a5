#pragma once
// The program's own icon, the one installed for the desktop entry, built into the program so
// that the window shows it also when run from the build tree.

#include <QIcon>

namespace vantrel::gui {

// The name of the desktop entry (without ".desktop") and of the installed icon.
inline constexpr const char* kDesktopFileName = "org.vantrel.Vantrel";

// The icon at every size it is drawn in, from the program's resources.
QIcon ApplicationIcon();

}  // namespace vantrel::gui
