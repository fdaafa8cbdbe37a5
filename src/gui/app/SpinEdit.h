#pragma once
// A number field with up and down buttons. Its text may hold any typed whole number for a while:
// setting the value limits it to the range, leaving the field brings a typed value outside the
// range into it, and reading the value takes the text as it stands (the minimum when the text is
// no whole number).

#include <QAbstractSpinBox>

#include "core/app/PreferenceChoices.h"

namespace vantrel::gui {

class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(SpinRange range, QWidget* parent = nullptr);

    // Shows `value` limited to the range.
    void SetValue(int value);
    // The text read as a whole number, not limited; the minimum for any other text.
    int Value() const;
    const SpinRange& Range() const { return range_; }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    SpinRange range_;
};

}  // namespace vantrel::gui
