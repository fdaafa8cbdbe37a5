#include "gui/kit/LightPanel.h"

#include <QWidget>

namespace vantrel::gui {

void SetLightPanel(QWidget* widget, const QColor& background, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = group == QPalette::Disabled ? QColor(120, 120, 120) : QColor(Qt::black);
        palette.setColor(group, role, background);
        for (QPalette::ColorRole textRole : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, textRole, text);
        palette.setColor(group, QPalette::Link, QColor(0, 0, 238));
        // Buttons on the panel (a checked sheet button, a scroll bar) take a light shade of it.
        palette.setColor(group, QPalette::Button, background.darker(112));
    }
    widget->setPalette(palette);
    // Lists paint their base on their own; a panel fills its window colour.
    if (role == QPalette::Window) widget->setAutoFillBackground(true);
}

}  // namespace vantrel::gui
