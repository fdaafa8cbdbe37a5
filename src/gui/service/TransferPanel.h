#pragma once
// The panel that stands in place of the pages during a transfer run: the current photo with
// its album and tile, a bar for the photo and one for the whole run, the photos left, the time
// estimate, the upload limit, the Stop button, and below them a page of the service.

#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vantrel::gui {

class AdvertView;

class TransferPanel : public QWidget {
    Q_OBJECT
public:
    explicit TransferPanel(QWidget* parent = nullptr);
    // Sets the fixed captions from the language file.
    void SetCaptions(const std::function<QString(const char*)>& translate);

    QWidget* Infos_Panel;
    QLabel* Transfer_Lbl;
    QLabel* Info1_Lbl;
    QLabel* Info2_Lbl;
    QLabel* AlbumT_Lbl;
    QLabel* Album_Lbl;
    QLabel* ImgName_Lbl;
    QLabel* Image_Img;
    QLabel* PBar1_Lbl;
    QProgressBar* PBar1;
    QLabel* PBar2_Lbl;
    QProgressBar* PBar2;
    QLabel* ImgLeft_Lbl;
    QLabel* TimeLeft_Lbl;
    QLabel* Wait_Lbl;
    QPushButton* Stop_Btn;
    // The upload limit, changeable while the run goes on.
    QCheckBox* Limit_Check;
    QSpinBox* Limit_Spin;
    AdvertView* WB;
};

}  // namespace vantrel::gui
