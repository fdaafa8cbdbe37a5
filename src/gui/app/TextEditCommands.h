#pragma once
// Cut, Copy and Paste of the Edit menu act on the text field that has the focus, whatever its
// kind; they are enabled only when they would do something there.

#include "gui/kit/ActionIds.h"

class QAction;
class QObject;

namespace vantrel::gui {

// Runs EditCut1, EditCopy1 or EditPaste1 on the focused text field; nothing when none has it.
void RunTextEditCommand(ActionId id);
// Enables Cut and Copy for a selection in the focused field (never in a password field), Paste
// for a focused field when the clipboard holds text.
void UpdateTextEditCommands(QAction* cut, QAction* copy, QAction* paste);
// Keeps the three enabled as UpdateTextEditCommands says from now on, while `owner` lives: they
// follow the focus, the selection of the focused field and the clipboard.
void FollowTextEditCommands(QObject& owner, QAction* cut, QAction* copy, QAction* paste);

}  // namespace vantrel::gui
