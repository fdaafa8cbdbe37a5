#pragma once
// The retouch commands of the dialog's tool bar, in their order: the one-step operations, each
// with the function that changes the photo, and the commands that the tool objects answer.
// Adding a one-step operation is adding a line to the table.

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "core/imaging/Bitmap32.h"

class QWidget;

namespace vantrel::gui {

class RetouchHost;
class RetouchTool;

// Called by an operation just before it changes the first pixel: the dialog keeps its undo step
// there, so an operation that finds nothing to change leaves none.
using BeforeChange = std::function<void()>;

struct RetouchCommand {
    // The command's object name, "" for a separator. Its caption and hint are the language keys
    // made of the name without its final "1", followed by "C" and "H".
    const char* name;
    const char* caption;  // built-in caption, replaced from the language file
    const char* icon;     // a themed icon name, or a resource path starting with ":"
    // Changes the photo in one step; returns whether it changed it. Null for a command that the
    // tool object of that name answers.
    bool (*apply)(Bitmap32& photo, const BeforeChange& beforeChange) = nullptr;
};

std::span<const RetouchCommand> RetouchCommands();

// The tool objects, one per command without a function, their panels made hidden in `parent`.
std::vector<std::unique_ptr<RetouchTool>> MakeRetouchTools(RetouchHost& host, QWidget* parent);

}  // namespace vantrel::gui
