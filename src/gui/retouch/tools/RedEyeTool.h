#pragma once
// The red-eye tool: the user draws an ellipse round an eye on the photo (its outline crawls in
// black and white dashes); OK takes the red out of the eye inside it, and the tool stays open
// for the next eye.

#include "core/imaging/Bitmap32.h"
#include "gui/retouch/RetouchTool.h"

class QLabel;
class QTimer;

namespace vantrel::gui {

class RedEyeTool : public RetouchTool {
    Q_OBJECT
public:
    RedEyeTool(RetouchHost& host, QWidget* parent);

    ToolPanel* Panel() const override { return RedEye_Panel; }
    bool CapturesMouse() const override { return true; }
    void Opened() override;
    void Accept() override;
    void Closing() override;
    void ApplyLanguage() override;
    void ImagePressed(QPointF at) override;
    void ImageDragged(QPointF at) override;

    // The selection from `start` to `end` in photo pixels, as a drag would make it.
    void SelectEye(QPointF start, QPointF end);

    ToolPanel* RedEye_Panel;
    QLabel* RedEye_Lbl1;
    QLabel* RedEye_Img1;  // the OK picture in the instruction
    QLabel* RedEye_Lbl2;
    QLabel* RedEye_Img2;  // the cancel picture
    QLabel* RedEye_Lbl3;

private:
    // A clear overlay the size of the photo, in place of the old one.
    void NewOverlay();
    void DrawSelection();

    QTimer* Sel_Timer;
    Bitmap32 overlay_;
    QPointF start_, end_;
    bool selected_ = false;
    bool dashPhase_ = false;
};

}  // namespace vantrel::gui
