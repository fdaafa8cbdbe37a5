#pragma once
// What the window asks of the service when it starts: its settings document, and whether a newer
// version of the program is out.

#include <functional>

namespace vantrel::gui {

class AppContext;

// Downloads and reads the service's settings into the context's remote settings, letting events
// run meanwhile; `stopped` ends the download (a termination signal during the start). A document
// that did not read is said in a message box when `showProblems`. Returns whether it was read.
bool LoadRemoteSettingsAtStart(AppContext& context, const std::function<bool()>& stopped, bool showProblems);

// The update check: tells the user when the service announces a newer version, opens its
// download page, and notes the time of the check.
void CheckForNewVersion(AppContext& context);

}  // namespace vantrel::gui
