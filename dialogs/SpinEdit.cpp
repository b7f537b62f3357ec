// TSpinEdit: digits are taken as typed and brought into range afterwards.
#include "SpinEdit.h"

#include <QLineEdit>

#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* Parent, int MaxLength) : QSpinBox(Parent) {
    lineEdit()->setMaxLength(MaxLength);
    setCorrectionMode(CorrectToNearestValue);
}

QValidator::State TSpinEdit::validate(QString& Input, int&) const {
    if (Input.isEmpty()) return QValidator::Intermediate;
    bool Number = false;
    const qlonglong Value = Input.toLongLong(&Number);
    if (!Number || Input.startsWith('+') || Input.startsWith('-')) return QValidator::Invalid;
    return Value >= minimum() && Value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& Input) const {
    bool Number = false;
    const qlonglong Value = Input.toLongLong(&Number);
    Input = QString::number(Number ? std::clamp<qlonglong>(Value, minimum(), maximum()) : minimum());
}
