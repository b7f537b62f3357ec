// The shared dialog controls.
#include "DialogControls.h"

#include "DisknameKeyFilter.h"
#include "PetsciiText.h"
#include "PetsciiValidator.h"
#include "SpinEdit.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <algorithm>

namespace DialogControls {

QLineEdit* NewC64Edit(QWidget* Parent, const QRect& Place, int MaxLength, const QString& Hint,
                      TLetterKeys Letters) {
    auto* Edit = new QLineEdit(Parent);
    Edit->setGeometry(Place);
    Edit->setFont(PetsciiText::C64Font(QStringLiteral("CBM64 Big/Graphic")));
    Edit->setMaxLength(MaxLength);
    Edit->setToolTip(Hint);
    if (Letters == TLetterKeys::SwapCase)
        TDisknameKeyFilter::Attach(Edit);
    else
        Edit->setValidator(new TPetsciiValidator(Edit));
    return Edit;
}

QToolButton* NewSpeedButton(QWidget* Parent, const QRect& Place, const QIcon& Glyph, const QString& Hint) {
    auto* Button = new QToolButton(Parent);
    Button->setGeometry(Place);
    Button->setAutoRaise(true);
    Button->setFocusPolicy(Qt::NoFocus);
    Button->setIcon(Glyph);
    Button->setIconSize(QSize(16, 16));
    Button->setToolTip(Hint);
    return Button;
}

QLabel* NewLabel(QWidget* Parent, const QString& Caption, int Left, int Top, bool Bold) {
    auto* Label = new QLabel(Caption, Parent);
    if (Bold) {
        QFont Font = Label->font();
        Font.setBold(true);
        Label->setFont(Font);
    }
    Label->move(Left, Top);
    Label->adjustSize();
    return Label;
}

QCheckBox* NewLeftCaptionCheckBox(QWidget* Parent, const QString& Caption, const QRect& Place,
                                  const QString& Hint) {
    auto* Box = new QCheckBox(Caption, Parent);
    QFont Bold = Box->font();
    Bold.setBold(true);
    Box->setFont(Bold);
    Box->setLayoutDirection(Qt::RightToLeft);
    // Wider than designed when the host's face needs it, so the caption is never cut.
    Box->setGeometry(Place.x(), Place.y(), std::max(Place.width(), Box->sizeHint().width()), Place.height());
    Box->setToolTip(Hint);
    return Box;
}

QPushButton* NewButton(QWidget* Parent, const QString& Caption, const QRect& Place, bool Default) {
    auto* Button = new QPushButton(Caption, Parent);
    Button->setGeometry(Place);
    Button->setDefault(Default);
    return Button;
}

QLabel* NewStaticText(QWidget* Parent, const QRect& Place, const QString& Hint) {
    auto* Text = new QLabel(Parent);
    Text->setGeometry(Place);
    Text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Text->setAlignment(Qt::AlignCenter);
    Text->setTextFormat(Qt::PlainText);
    Text->setToolTip(Hint);
    return Text;
}

QSpinBox* NewNumberField(QWidget* Parent, const QRect& Place, int Maximum, int MaxLength,
                         const QString& Hint) {
    auto* Field = new TSpinEdit(Parent, MaxLength);
    Field->setGeometry(Place);
    Field->setRange(0, Maximum);
    Field->setToolTip(Hint);
    return Field;
}

void SelectForTyping(QLineEdit* Field) {
    Field->selectAll();
    // Before the dialog shows, this makes the field the one that takes the focus then.
    Field->setFocus();
}

void CentreOnScreen(QWidget* Dialog, QWidget* Owner) {
    if (const QScreen* Screen = Owner ? Owner->screen() : QGuiApplication::primaryScreen())
        Dialog->move(Screen->availableGeometry().center() - Dialog->rect().center());
}

} // namespace DialogControls
