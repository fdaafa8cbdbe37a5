#include "gui/app/SpinEdit.h"

#include <QLineEdit>
#include <QRegularExpression>

namespace vantrel::gui {

SpinEdit::SpinEdit(SpinRange range, QWidget* parent) : QAbstractSpinBox(parent), range_(range) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(true);
    SetValue(range_.minValue);
}

void SpinEdit::SetValue(int value) { lineEdit()->setText(QString::number(range_.Limit(value))); }

int SpinEdit::Value() const { return range_.Read(lineEdit()->text().toStdString()); }

void SpinEdit::stepBy(int steps) {
    SetValue(Value() + steps);
    selectAll();
}

QValidator::State SpinEdit::validate(QString& input, int&) const {
    // Only signs and digits can be typed; what they make is judged when the value is read.
    static const QRegularExpression typable("^[+-]?[0-9]*$");
    return typable.match(input).hasMatch() ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    const int value = Value();
    StepEnabled enabled = StepNone;
    if (value < range_.maxValue) enabled |= StepUpEnabled;
    if (value > range_.minValue) enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    const int value = Value();
    if (range_.Limit(value) != value) SetValue(value);
    QAbstractSpinBox::focusOutEvent(event);
}

}  // namespace vantrel::gui
