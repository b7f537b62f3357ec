// TDisknameKeyFilter: the letter-case key filter of the fields that hold a disk label or
// disk ID in the C64 font. An unshifted letter key enters the code of an upper-case ASCII
// letter (65-90, the letters of the C64's unshifted set) and a shifted one the code of a
// lower-case letter (97-122), so the field shows and stores what a C64 keyboard gives.
// It also keeps out characters that have no PETSCII byte, typed or pasted, so that the
// field never shows a character it could not store.
#pragma once

#include <QObject>

class QLineEdit;

class TDisknameKeyFilter : public QObject {
    Q_OBJECT

  public:
    // Installs the filter (owned by the edit) on Edit.
    static void Attach(QLineEdit* Edit);

    // The rule itself: swaps the case of an ASCII letter in place; every other code,
    // control keys included, stays as it is.
    static void DisknameKeyPress(QChar& Key);

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    explicit TDisknameKeyFilter(QObject* Parent);
    bool FForwarding = false;
};
