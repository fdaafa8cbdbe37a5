#include "gui/retouch/tools/LightTool.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

#include "core/retouch/LevelsTable.h"
#include "core/retouch/RetouchPixels.h"
#include "gui/kit/MainActions.h"
#include "gui/kit/PageWidgets.h"
#include "gui/retouch/ToolPanel.h"

namespace vantrel::gui {

LightTool::LightTool(RetouchHost& host, QWidget* parent) : RetouchTool(host) {
    // Contrast and brightness sliders with their positions.
    Lum_Panel = new ToolPanel("Lum_Panel", 40, ThemedIcon("display-brightness"), parent);
    QHBoxLayout* row = Lum_Panel->Controls();
    Contrast_Gauge = Gauge("Contrast_Gauge", Lum_Panel);
    Contrast_Lbl = Named(new QLabel("0", Lum_Panel), "Contrast_Lbl");
    Brightness_Gauge = Gauge("Brightness_Gauge", Lum_Panel);
    Brightness_Lbl = Named(new QLabel("0", Lum_Panel), "Brightness_Lbl");
    for (QLabel* label : {Contrast_Lbl, Brightness_Lbl}) label->setFixedWidth(32);
    auto* contrastIcon = Picture("Contrast_Img", ThemedIcon("preferences-color"), 16, Lum_Panel);
    auto* brightnessIcon = Picture("Brightness_Img", ThemedIcon("display-brightness"), 16, Lum_Panel);
    row->addWidget(contrastIcon);
    row->addWidget(Contrast_Gauge);
    row->addWidget(Contrast_Lbl);
    row->addSpacing(20);
    row->addWidget(brightnessIcon);
    row->addWidget(Brightness_Gauge);
    row->addWidget(Brightness_Lbl);
    row->addStretch();

    connect(Contrast_Gauge, &QSlider::valueChanged, this, &LightTool::LightChanged);
    connect(Brightness_Gauge, &QSlider::valueChanged, this, &LightTool::LightChanged);
}

void LightTool::Opened() {
    Host().SaveUndoStep();  // the undo step of the whole tool
    untouched_ = Host().EditedPhoto();
    open_ = true;
    for (QSlider* gauge : {Contrast_Gauge, Brightness_Gauge}) {
        QSignalBlocker quiet(gauge);
        gauge->setValue(0);
    }
    Contrast_Lbl->setText("0");
    Brightness_Lbl->setText("0");
    LayeredImageView& before = Host().SecondView();
    before.SetBitmap(&untouched_);
    before.show();
    before.BitmapChanged();
    before.SetScale(View().Scale());
    before.SetScrollPosition(View().ScrollPosition());
}

void LightTool::LightChanged() {
    if (!open_) return;
    Contrast_Lbl->setText(QString::number(Contrast_Gauge->value()));
    Brightness_Lbl->setText(QString::number(Brightness_Gauge->value()));
    // Always from the untouched copy, so that moves never accumulate.
    ApplyTable(untouched_, BrightnessContrastTable(Brightness_Gauge->value(), Contrast_Gauge->value()), Host().EditedPhoto());
    View().BitmapChanged();
}

void LightTool::HideUntouched() {
    LayeredImageView& before = Host().SecondView();
    before.hide();
    untouched_ = Bitmap32();
    before.BitmapChanged();
}

void LightTool::Accept() {
    HideUntouched();
    Host().CloseTool();
    Host().PhotoChanged();
}

void LightTool::Cancel() {
    Host().RestoreUndoStep();
    HideUntouched();
    Host().CloseTool();
    View().BitmapChanged();
}

void LightTool::Closing() {
    RetouchTool::Closing();
    open_ = false;
}

}  // namespace vantrel::gui

