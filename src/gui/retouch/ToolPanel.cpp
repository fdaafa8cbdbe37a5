#include "gui/retouch/ToolPanel.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include "gui/kit/LightPanel.h"
#include "gui/kit/MainActions.h"
#include "gui/kit/PageWidgets.h"

namespace vantrel::gui {

QIcon OkIcon() { return ThemedIcon("emblem-ok"); }
QIcon CancelIcon() { return ThemedIcon("window-close"); }

QToolButton* SmallButton(const char* name, const QIcon& icon, QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setIcon(icon);
    button->setFixedSize(24, 24);
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    return button;
}

QLabel* Picture(const char* name, const QIcon& icon, int size, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name);
    label->setPixmap(icon.pixmap(size, size));
    label->setFixedSize(size, size);
    return label;
}

QSlider* Gauge(const char* name, QWidget* parent) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(-100, 100);
    slider->setPageStep(10);
    slider->setValue(0);
    slider->setFixedWidth(150);
    return slider;
}

ToolPanel::ToolPanel(const char* name, int height, const QIcon& picture, QWidget* parent)
    : QFrame(parent), height_(height) {
    setObjectName(name);
    setFixedHeight(height);
    SetLightPanel(this, QColor(0xE6, 0xE6, 0xE6));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(Picture("Tool_Img", picture, 32, this), 0, Qt::AlignTop);
    // On a narrow dialog the controls scroll sideways; the picture and the buttons stay put.
    auto* holder = new QWidget;
    controls_ = new QHBoxLayout(holder);
    controls_->setContentsMargins(0, 0, 0, 0);
    controlsArea_ = Named(new QScrollArea(this), "Controls_Scroll");
    controlsArea_->setFrameShape(QFrame::NoFrame);
    controlsArea_->setWidgetResizable(true);
    controlsArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controlsArea_->setWidget(holder);
    controlsArea_->viewport()->setAutoFillBackground(false);
    holder->setAutoFillBackground(false);
    holder->installEventFilter(this);
    controlsArea_->installEventFilter(this);
    row->addWidget(controlsArea_, 1);
    Cancel_Btn = SmallButton("Cancel_Btn", CancelIcon(), this);
    Ok_Btn = SmallButton("Ok_Btn", OkIcon(), this);
    row->addWidget(Cancel_Btn, 0, Qt::AlignTop);
    row->addWidget(Ok_Btn, 0, Qt::AlignTop);
    connect(Ok_Btn, &QToolButton::clicked, this, &ToolPanel::accepted);
    connect(Cancel_Btn, &QToolButton::clicked, this, &ToolPanel::cancelled);
    hide();
}

bool ToolPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest) FitHeight();
    return QFrame::eventFilter(watched, event);
}

void ToolPanel::FitHeight() {
    // The sideways scroll bar takes its height below the controls rather than from them.
    const bool scrolls = controlsArea_->widget()->minimumSizeHint().width() > controlsArea_->width();
    setFixedHeight(height_ + (scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0));
}

}  // namespace vantrel::gui
