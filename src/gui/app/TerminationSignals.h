#pragma once
// SIGTERM, SIGINT and SIGHUP turn into an ordinary close of the main window, so that a logout
// or a `kill` saves everything as the close command does.

#include <functional>

namespace vantrel::gui {

// Installs the handlers; `onSignal` runs later on the user-interface thread, once per signal.
void RouteTerminationSignals(std::function<void()> onSignal);

}  // namespace vantrel::gui
