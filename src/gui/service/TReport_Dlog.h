#pragma once
// The report of the photos a transfer run refused, shown modally at the end of the run.

#include <QDialog>

namespace vantrel::gui {

class TReport_Dlog : public QDialog {
    Q_OBJECT
public:
    TReport_Dlog(const QString& caption, const QString& title, const QString& names, QWidget* parent);
};

}  // namespace vantrel::gui
