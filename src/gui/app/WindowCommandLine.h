#pragma once
// The options of the window's program, answered before anything needs a display: help and
// version print and end the program, any other option is a wrong call. Every other argument is
// a file the desktop hands over.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::gui {

// The exit status when `arguments` (without the program path) ask for no window: 0 after
// printing the help or the version to `out`, 2 after printing a short usage to `err` for an
// unknown option. Nothing (the window starts) when every argument is a file. "--" ends the
// options, so that a file whose name starts with "-" can still be passed.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::FILE* out,
                                     std::FILE* err);

}  // namespace vantrel::gui
