// TPetsciiValidator: accepts a field's text only when every character maps back to a
// PETSCII byte, so a name field never shows a character it could not store, typed or
// pasted. The label fields get it with the letter-case key filter, the file name field
// on its own.
#pragma once

#include <QValidator>

class TPetsciiValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& Input, int& Position) const override;
};
