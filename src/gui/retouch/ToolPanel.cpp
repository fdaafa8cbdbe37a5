#include "gui/retouch/ToolPanel.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QSlider>
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

ToolPanel::ToolPanel(const char* name, int height, const QIcon& picture, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
    setFixedHeight(height);
    SetLightPanel(this, QColor(0xE6, 0xE6, 0xE6));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(Picture("Tool_Img", picture, 32, this), 0, Qt::AlignTop);
    controls_ = new QHBoxLayout;
    row->addLayout(controls_, 1);
    Cancel_Btn = SmallButton("Cancel_Btn", CancelIcon(), this);
    Ok_Btn = SmallButton("Ok_Btn", OkIcon(), this);
    row->addWidget(Cancel_Btn, 0, Qt::AlignTop);
    row->addWidget(Ok_Btn, 0, Qt::AlignTop);
    connect(Ok_Btn, &QToolButton::clicked, this, &ToolPanel::accepted);
    connect(Cancel_Btn, &QToolButton::clicked, this, &ToolPanel::cancelled);
    hide();
}

}  // namespace vantrel::gui
