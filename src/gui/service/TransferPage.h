#pragma once
// The transfer page: photo counts, the identification box and the start button.

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vantrel::gui {

class TransferPage : public QWidget {
    Q_OBJECT
public:
    explicit TransferPage(QWidget* parent = nullptr);

    QLabel* NumImage_Lbl;
    QLabel* TotalSize_Lbl;
    QWidget* ID_Panel;
    QLabel* IdTitle_Lbl;
    QLabel* Login_Lbl;
    QLineEdit* Login_Edit;
    QLabel* Pass_Lbl;
    QLineEdit* Pass_Edit;
    QCheckBox* Save_Check;
    QLabel* Lost_Lbl;
    QLabel* LostClic_Lbl;
    QLabel* Info_Lbl;
    QLabel* WebSite_Lbl;
    QPushButton* Start_Btn;
    QProgressBar* Animate1;  // the small busy animation while the server is contacted
};

}  // namespace vantrel::gui
