#pragma once
// Brings a top-level window back to the user: restored as it was before (a maximised window comes
// back maximised), shown, raised and given the focus.

class QWidget;

namespace vantrel::gui {

void BringToFront(QWidget& window);

}  // namespace vantrel::gui
