#pragma once
// The window's actions with their built-in captions, shortcuts, icons and language keys.

#include <QAction>
#include <array>
#include <functional>
#include <initializer_list>

#include "gui/kit/ActionIds.h"

class QMainWindow;
class QToolBar;

namespace vantrel::gui {

struct ActionSpec {
    ActionId id;
    const char* name;          // object name, e.g. "FileOptions1"
    const char* caption;       // built-in caption, replaced from the language file at start
    const char* captionKey;    // language key of the caption
    const char* hintKey;       // language key of the hint ("short|long")
    const char* shortcut;      // empty: none
    const char* icon;          // icon theme name
};

// Every action, in the order of ActionId.
const std::array<ActionSpec, static_cast<size_t>(ActionId::Count)>& ActionSpecs();

// Sets the caption, tool tip (short part of the hint) and status tip (long part) of an action.
void ApplyHint(QAction* action, const QString& caption, const QString& hint);

// A themed icon, falling back to the symbolic variant of the same name; a one-colour icon
// follows the palette.
QIcon ThemedIcon(const char* name);

// Adds a fixed tool bar of icons named `name` to `window`: the groups' actions, separated.
QToolBar* AddCommandBar(QMainWindow& window, const char* name,
                        std::initializer_list<std::initializer_list<ActionId>> groups,
                        const std::function<QAction*(ActionId)>& action);

}  // namespace vantrel::gui
