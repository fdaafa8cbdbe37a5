#pragma once
// The notice shown after photos of the thumbnail list were queued: where to find them, that
// the user's files are untouched, and a box to stop the notice for the rest of the run.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vantrel::gui {

class TDup_Dlog : public QDialog {
    Q_OBJECT
public:
    TDup_Dlog(const QString& caption, const QString& upper, const QString& lower, const QString& noMore,
              QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Upper_Text;
    QLabel* Lower_Text;
    QCheckBox* NoMore_Check;
    QPushButton* Button1;
};

}  // namespace vantrel::gui
