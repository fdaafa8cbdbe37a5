#pragma once
// Panels and lists that keep a light colour of their own (white, cream, light grey) whatever the
// desktop's palette: their texts are made dark as well, so that a dark desktop theme does not
// put light text on them.

#include <QColor>
#include <QPalette>

class QWidget;

namespace vantrel::gui {

// Gives `widget` the light `background` in `role` (Window for panels, Base for lists and edits)
// with dark texts for every text role; the palette passes on to its children. A panel (Window)
// fills its background itself.
void SetLightPanel(QWidget* widget, const QColor& background, QPalette::ColorRole role = QPalette::Window);

}  // namespace vantrel::gui
