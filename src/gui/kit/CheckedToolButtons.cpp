#include "gui/kit/CheckedToolButtons.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

namespace vantrel::gui {

namespace {

// The application's style, with a checked tool button's panel tinted and framed in the
// highlight colour of the palette it is drawn with.
class CheckedToolButtonStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element != PE_PanelButtonTool || !(option->state & State_On)) return;
        QColor tint = option->palette.color(QPalette::Highlight);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(tint);
        tint.setAlpha(90);
        painter->setBrush(tint);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

}  // namespace

void HighlightCheckedButtons(QToolBar& bar) {
    auto* style = new CheckedToolButtonStyle;
    style->setParent(&bar);
    for (QToolButton* button : bar.findChildren<QToolButton*>()) button->setStyle(style);
}

}  // namespace vantrel::gui
