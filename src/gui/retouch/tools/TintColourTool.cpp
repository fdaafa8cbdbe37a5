#include "gui/retouch/tools/TintColourTool.h"

#include <QAction>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "core/retouch/ColourOps.h"

namespace vantrel::gui {

QColor& TintColourTool::TintColour() {
    static QColor tint = QColor::fromRgb(kInitialTintColour);
    return tint;
}

void TintColourTool::SetCommand(QAction* command) {
    command_ = command;
    command_->setToolTip("Permet de choisir la couleur de colorisation");
    DrawSwatch();
}

void TintColourTool::Triggered() {
    const QColor chosen =
        QColorDialog::getColor(TintColour(), Host().DialogWidget(), QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return;
    TintColour() = chosen;
    DrawSwatch();
}

void TintColourTool::DrawSwatch() {
    // A swatch of the tint colour on a transparent ground.
    QPixmap picture(30, 30);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x2e, 0x34, 0x36), 2));
    painter.setBrush(TintColour());
    painter.drawRoundedRect(QRectF(4, 6, 22, 18), 3, 3);
    painter.end();
    command_->setIcon(QIcon(picture));
}

}  // namespace vantrel::gui
