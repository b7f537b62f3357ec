// The controls the disk and file dialogs share, made the same way in each: the C64 name
// fields, the flat speed buttons, bold field labels, sunken read-only texts, number fields
// with arrows, and the placing of a dialog in the middle of the screen.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

#include <optional>

class QCheckBox;
class QIcon;
class IUserPrompts;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QWidget;

namespace DialogControls {

// How a C64 name field treats typed letters.
enum class TLetterKeys {
    SwapCase, // the label rule: unshifted letters store 65-90, shifted ones 97-122
    AsTyped,  // the codes as typed (file names)
};

// An edit in the C64 face that keeps out characters without a PETSCII byte.
QLineEdit* NewC64Edit(QWidget* Parent, const QRect& Place, int MaxLength, const QString& Hint,
                      TLetterKeys Letters);
// A flat button with a 16 x 16 glyph that takes no focus.
QToolButton* NewSpeedButton(QWidget* Parent, const QRect& Place, const QIcon& Glyph, const QString& Hint);
// A field label at its place, in the dialog's face; bold where the form says so.
QLabel* NewLabel(QWidget* Parent, const QString& Caption, int Left, int Top, bool Bold);
// A bold check box with its caption left of the box, at least as wide as Place says.
QCheckBox* NewLeftCaptionCheckBox(QWidget* Parent, const QString& Caption, const QRect& Place,
                                  const QString& Hint);
// A push button at its place; the default button of the dialog when Default is set.
QPushButton* NewButton(QWidget* Parent, const QString& Caption, const QRect& Place, bool Default = false);
// A centred display-only text on a sunken border.
QLabel* NewStaticText(QWidget* Parent, const QRect& Place, const QString& Hint);
// A number field with up/down arrows that keeps its value within 0..Maximum; at most
// MaxLength characters can be typed.
QSpinBox* NewNumberField(QWidget* Parent, const QRect& Place, int Maximum, int MaxLength,
                         const QString& Hint);
// Gives a field the focus with its whole text selected, so that what the user types
// replaces the text rather than adding to it.
void SelectForTyping(QLineEdit* Field);
// Centres a dialog on the screen of its owner (or the primary screen).
void CentreOnScreen(QWidget* Dialog, QWidget* Owner);

// Shows a dialog of type T (built from the prompts and its owner) modally, filled with
// Initial; the values it hands back on OK, nothing when it is cancelled.
template <typename T, typename TValues>
std::optional<TValues> ExecuteModal(IUserPrompts& Prompts, QWidget* Owner, const TValues& Initial) {
    T Dialog(Prompts, Owner);
    Dialog.SetValues(Initial);
    if (Dialog.exec() != QDialog::Accepted) return std::nullopt;
    return Dialog.Values();
}

} // namespace DialogControls
