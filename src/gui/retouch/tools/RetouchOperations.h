#pragma once
// The retouch operations of the dialog's tool bar, each described once, in tool bar order: its
// id, the object name of its command (the language keys of its caption and hint are that name
// without its final "1", followed by "C" and "H"), its built-in caption and icon, and either the
// function that changes the photo in one step or the factory of the tool object that answers it.
// The dialog builds its commands, dispatches them and makes its tools from this table alone;
// adding an operation is adding a line to it.

#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "core/imaging/Bitmap32.h"

class QWidget;

namespace vantrel::gui {

class RetouchHost;
class RetouchTool;

enum class RetouchOp {
    Crop,
    Light,
    AutoTone,
    TurnLeft,
    TurnRight,
    Soften,
    Sharpen,
    Negative,
    BlackAndWhite,
    Tint,
    TintColour,
    RedEye,
    Title,
};

// Called by an operation just before it changes the first pixel: the dialog keeps its undo step
// there, so an operation that finds nothing to change leaves none.
using BeforeChange = std::function<void()>;
// Changes the photo in one step; returns whether it changed it.
using ApplyFunction = bool (*)(Bitmap32& photo, const BeforeChange& beforeChange);
// Makes the tool object of an operation, its panel (if any) made hidden in `parent`.
using ToolFactory = std::unique_ptr<RetouchTool> (*)(RetouchHost& host, QWidget* parent);

struct RetouchOperation {
    RetouchOp id;
    const char* name;     // the command's object name, "ImgCrop1"
    const char* caption;  // built-in caption, replaced from the language file
    const char* icon;     // a themed icon name, a resource path starting with ":", or "" (the tool draws it)
    bool startsGroup;     // a separator comes before it in the tool bar
    ApplyFunction apply;  // exactly one of apply and makeTool is set
    ToolFactory makeTool;
};

std::span<const RetouchOperation> RetouchOperations();
const RetouchOperation& RetouchOperationOf(RetouchOp id);

}  // namespace vantrel::gui
