#pragma once
// The tool panels of the retouch dialog: a light grey strip with a picture at its left edge and
// cancel and OK buttons at its right edge, and the controls of the crop, light, red-eye and
// title tools.

#include <QFrame>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

namespace vantrel::gui {

class ToolPanel : public QFrame {
    Q_OBJECT
public:
    ToolPanel(const char* name, int height, const QIcon& picture, QWidget* parent);
    // Where the tool's own controls go, between the picture and the buttons.
    QHBoxLayout* Controls() const { return controls_; }
    QToolButton* Cancel_Btn = nullptr;
    QToolButton* Ok_Btn = nullptr;

signals:
    void accepted();
    void cancelled();

private:
    QHBoxLayout* controls_ = nullptr;
};

// Every panel with its controls, made hidden, named as the language file names them.
class RetouchPanels {
public:
    explicit RetouchPanels(QWidget* parent);

    ToolPanel* Format_Panel;
    QLabel* Format_Lbl;
    QComboBox* Format_Combo;
    QToolButton* Horiz_Btn;
    QToolButton* Vert_Btn;
    QLabel* OrgSizeT_Lbl;
    QLabel* OrgSize_Lbl;
    QLabel* FinSizeT_Lbl;
    QLabel* FinSize_Lbl;

    ToolPanel* Lum_Panel;
    QSlider* Contrast_Gauge;
    QLabel* Contrast_Lbl;
    QSlider* Brightness_Gauge;
    QLabel* Brightness_Lbl;

    ToolPanel* RedEye_Panel;
    QLabel* RedEye_Lbl1;
    QLabel* RedEye_Img1;  // the OK picture in the instruction
    QLabel* RedEye_Lbl2;
    QLabel* RedEye_Img2;  // the cancel picture
    QLabel* RedEye_Lbl3;

    ToolPanel* Title_Panel;
    QLineEdit* Title_Edit;
    QToolButton* Font_Btn;
    QLabel* TitleUpp_Lbl;
    QLabel* TitleLow_Lbl;
};

// The OK and cancel pictures of the panels.
QIcon OkIcon();
QIcon CancelIcon();

}  // namespace vantrel::gui
