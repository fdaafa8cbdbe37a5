#pragma once
// Where the program's texts and help pages lie. In the build tree Language/ and Help/ sit beside
// the programs; an installed program finds them in the data folder relative to its own
// location (bin/ -> share/vantrel/), so that a copy installed under any prefix works.

#include <string>

namespace vantrel {

// The folder of the running executable, with a trailing "/"; "./" when it cannot be told.
std::string RunningProgramFolder();

// The folder holding Language/ for a program in `programFolder` (with or without a trailing
// "/"): the program's own folder when Language/ is there, else the installed data folder
// relative to it. Returned with a trailing "/". When neither holds Language/ the program's own
// folder is returned, so that the caller's "no language folder" message names the usual place.
std::string DataFolderFor(const std::string& programFolder);

}  // namespace vantrel
