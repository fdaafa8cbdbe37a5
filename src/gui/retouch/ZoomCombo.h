#pragma once
// The zoom box of the retouch tool bar: a choice of percentages that the user may also type.
// A typed text that is no "N %" reads as 100 %; the scale is kept between 1 % and 800 %.

#include <QComboBox>

namespace vantrel::gui {

class ZoomCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ZoomCombo(QWidget* parent);
    // Shows `scale` (1 = 100 %) without reporting it as chosen.
    void ShowScale(double scale);

signals:
    // The user chose or typed a scale.
    void scaleChosen(double scale);

private:
    void TextChanged(const QString& text);

    bool showing_ = false;
};

}  // namespace vantrel::gui
