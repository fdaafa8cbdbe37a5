#pragma once
// What the window asks of the service when it starts: its settings document, and whether a newer
// version of the program is out.

namespace vantrel::gui {

class AppContext;

// Takes the result of the engine's start-up download of the service's settings (it has ended)
// into the context's remote settings. A document that did not read is said in a message box
// when `showProblems`. Returns whether it was read.
bool TakeRemoteSettingsAtStart(AppContext& context, bool showProblems);

// The update check: tells the user when the service announces a newer version, opens its
// download page, and notes the time of the check.
void CheckForNewVersion(AppContext& context);

}  // namespace vantrel::gui
