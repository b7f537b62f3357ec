// TPetsciiValidator: a text is acceptable when no character is dropped on the way to bytes.
#include "PetsciiValidator.h"

#include "PetsciiText.h"

TPetsciiValidator::State TPetsciiValidator::validate(QString& Input, int&) const {
    const bool AllBytes = PetsciiText::FromDisplay(Input).size() == static_cast<size_t>(Input.size());
    return AllBytes ? Acceptable : Invalid;
}
