#include "gui/kit/BringToFront.h"

#include <QWidget>

namespace vantrel::gui {

void BringToFront(QWidget& window) {
    if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    if (!window.isVisible()) window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace vantrel::gui
