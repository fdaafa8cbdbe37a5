#pragma once
// Checked tool-bar buttons (a view that is on) drawn with the palette's highlight, so that they
// stand out on a dark palette as well, where a style's sunken panel hardly shows.

class QToolBar;

namespace vantrel::gui {

// Gives the tool buttons of `bar` the highlighted look when checked.
void HighlightCheckedButtons(QToolBar& bar);

}  // namespace vantrel::gui
