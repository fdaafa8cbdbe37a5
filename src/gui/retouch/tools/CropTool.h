#pragma once
// The crop tool: a frame of the chosen print format (3:2 or 4:3, landscape or portrait) over
// the photo, moved and resized with its handles; OK keeps what is inside it. Beside it, the
// resolution the frame gives for a chosen print size, kept up to date while it is dragged.

#include <memory>

#include "core/retouch/CropFrame.h"
#include "gui/retouch/RetouchTool.h"

class QComboBox;
class QLabel;
class QToolButton;

namespace vantrel::gui {

class CropTool : public RetouchTool {
    Q_OBJECT
public:
    CropTool(RetouchHost& host, QWidget* parent);

    ToolPanel* Panel() const override { return Format_Panel; }
    void Opened() override;
    void Accept() override;
    void Closing() override;
    void ApplyLanguage() override;
    // Keeps the frame in the format and inside the photo.
    QRectF CorrectFrame(FrameHandle handle, QRectF rect) override;
    void LayerPressed(int id) override;

    ToolPanel* Format_Panel;
    QLabel* Format_Lbl;
    QComboBox* Format_Combo;
    QToolButton* Horiz_Btn;
    QToolButton* Vert_Btn;
    QLabel* OrgSizeT_Lbl;
    QLabel* OrgSize_Lbl;
    QLabel* FinSizeT_Lbl;
    QLabel* FinSize_Lbl;
    QComboBox* Print_Combo;  // the common print sizes, 10x15 cm at first
    QLabel* Dpi_Lbl;

private:
    // The format or the orientation was changed: the frame is fitted again.
    void FitFrame();
    void ShowFrame();
    void ShowFinalSize();

    std::unique_ptr<CropFrame> crop_;
};

}  // namespace vantrel::gui
