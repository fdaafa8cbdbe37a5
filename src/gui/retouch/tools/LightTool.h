#pragma once
// The light tool: contrast and brightness sliders, the photo as it was shown beside the photo
// as it will be. Its undo step is kept when it opens, so undo while it is open cancels it.

#include "core/imaging/Bitmap32.h"
#include "gui/retouch/RetouchTool.h"

class QLabel;
class QSlider;

namespace vantrel::gui {

class LightTool : public RetouchTool {
    Q_OBJECT
public:
    LightTool(RetouchHost& host, QWidget* parent);

    ToolPanel* Panel() const override { return Lum_Panel; }
    bool UndoCancels() const override { return true; }
    void Opened() override;
    void Accept() override;
    void Cancel() override;
    void Closing() override;

    ToolPanel* Lum_Panel;
    QSlider* Contrast_Gauge;
    QLabel* Contrast_Lbl;
    QSlider* Brightness_Gauge;
    QLabel* Brightness_Lbl;

private:
    void LightChanged();
    void HideUntouched();

    Bitmap32 untouched_;  // the photo as it was when the tool opened, shown in the second view
    bool open_ = false;
};

}  // namespace vantrel::gui
