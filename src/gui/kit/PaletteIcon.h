#pragma once
// Icons that follow the palette. A one-colour icon (a symbolic theme icon) and the ink of the
// program's own SVG icons are drawn in the palette's text colour, so that they stay visible on a
// dark palette as on a light one. The colour is read each time an icon is drawn: a change of
// palette shows them in the new colour at the next repaint, with nothing to reload.

#include <QIcon>
#include <QString>

namespace vantrel::gui {

// `icon`, drawn in the text colour when all of it is one neutral colour; a coloured icon is
// drawn as it is. A null icon stays null.
QIcon PaletteIcon(const QIcon& icon);

// The program's SVG icon at `path` (":/icons/..."), its ink (#2e3436) drawn in the text colour
// and its other colours kept.
QIcon InkedIcon(const QString& path);

}  // namespace vantrel::gui
