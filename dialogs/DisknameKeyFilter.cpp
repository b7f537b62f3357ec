// TDisknameKeyFilter: swaps the case of typed letters before the edit sees them.
#include "DisknameKeyFilter.h"

#include "PetsciiValidator.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

TDisknameKeyFilter::TDisknameKeyFilter(QObject* Parent) : QObject(Parent) {}

void TDisknameKeyFilter::Attach(QLineEdit* Edit) {
    Edit->installEventFilter(new TDisknameKeyFilter(Edit));
    Edit->setValidator(new TPetsciiValidator(Edit));
}

void TDisknameKeyFilter::DisknameKeyPress(QChar& Key) {
    const char16_t Code = Key.unicode();
    if (Code >= 'a' && Code <= 'z')
        Key = QChar(static_cast<char16_t>(Code - 32));
    else if (Code >= 'A' && Code <= 'Z')
        Key = QChar(static_cast<char16_t>(Code + 32));
}

bool TDisknameKeyFilter::eventFilter(QObject* Watched, QEvent* Event) {
    if (FForwarding || Event->type() != QEvent::KeyPress) return false;
    auto* Key = static_cast<QKeyEvent*>(Event);
    QString Text = Key->text();
    for (QChar& Char : Text)
        DisknameKeyPress(Char);
    if (Text == Key->text()) return false;
    // The edit gets the same key with the changed character instead of the original.
    QKeyEvent Changed(QEvent::KeyPress, Key->key(), Key->modifiers(), Text, Key->isAutoRepeat(),
                      static_cast<quint16>(Key->count()));
    FForwarding = true;
    QCoreApplication::sendEvent(Watched, &Changed);
    FForwarding = false;
    Event->setAccepted(Changed.isAccepted());
    return true;
}
