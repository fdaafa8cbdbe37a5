#include "gui/retouch/ZoomCombo.h"

#include <algorithm>

namespace vantrel::gui {

ZoomCombo::ZoomCombo(QWidget* parent) : QComboBox(parent) {
    setObjectName("Zoom_Combo");
    setEditable(true);
    setFixedWidth(80);
    setMaxVisibleItems(12);
    addItems({"10 %", "25 %", "33 %", "50 %", "75 %", "100 %", "125 %", "150 %", "200 %", "300 %", "400 %", "500 %"});
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::editTextChanged, this, &ZoomCombo::TextChanged);
}

void ZoomCombo::ShowScale(double scale) {
    showing_ = true;
    setEditText(QString::asprintf("%.0f", scale * 100) + " %");
    showing_ = false;
}

void ZoomCombo::TextChanged(const QString& text) {
    if (showing_) return;
    const qsizetype mark = text.indexOf(" %");
    bool ok = false;
    int percent = (mark < 0 ? QString() : text.left(mark)).trimmed().toInt(&ok);
    if (!ok) percent = 100;
    emit scaleChosen(std::clamp(percent / 100.0, 0.01, 8.0));
}

}  // namespace vantrel::gui
