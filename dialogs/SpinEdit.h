// TSpinEdit: a number field with up/down arrows that takes any number typed into it and
// keeps its value within its range when the typing ends: a value beyond a bound is brought
// to that bound, and a field left empty counts as the minimum. (A plain spin box refuses
// the keystroke instead, so typing 9999 into a field that ends at 9945 would give 999.)
#pragma once

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
    Q_OBJECT

  public:
    // At most MaxLength characters can be typed.
    TSpinEdit(QWidget* Parent, int MaxLength);

  protected:
    QValidator::State validate(QString& Input, int& Position) const override;
    void fixup(QString& Input) const override;
};
