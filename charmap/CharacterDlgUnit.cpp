// TCharacterDlg: layout, the remembered place and face, and the clipboard protocol.
#include "CharacterDlgUnit.h"

#include "C64CharacterMap.h"
#include "FixedForm.h"
#include "PetsciiText.h"
#include "UserPrompts.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Where and how the picker was last closed through one of its buttons. Kept for the life
// of the process only; nothing is saved.
int LastDialogLeft = 100;
int LastDialogTop = 100;
bool LastSmallMode = false;

constexpr int ClientWidth = 386;
constexpr int ClientHeight = 277;

} // namespace

TCharacterDlg::TCharacterDlg(QWidget* Owner)
    : QDialog(Owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    FixedForm::Setup(this, QStringLiteral("C64 Characters..."), QSize(ClientWidth, ClientHeight));
    Bevel1 = FixedForm::NewBevel(this, QRect(8, 8, ClientWidth - 16, 201));
    C64CharacterMap1 = new TC64CharacterMap(this);
    C64CharacterMap1->setGeometry(12, 12, TC64CharacterMap::DesignWidth, 193);

    Big = new QRadioButton(QStringLiteral("Big / Graphic"), this);
    Big->setGeometry(16, 218, 120, 17);
    Big->setChecked(true);
    Small = new QRadioButton(QStringLiteral("Small / Big"), this);
    Small->setGeometry(150, 218, 120, 17);

    bOk = new QPushButton(QStringLiteral("Copy to Clipboard"), this);
    bOk->setGeometry(ClientWidth - 8 - 75 - 8 - 121, 244, 121, 25);
    bOk->setDefault(true);
    bOk->setEnabled(false);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setGeometry(ClientWidth - 8 - 75, 244, 75, 25);

    // Checked by a click, an arrow key or FormShow alike.
    connect(Big, &QRadioButton::toggled, this, [this](bool On) {
        if (On) BigClick(Big);
    });
    connect(Small, &QRadioButton::toggled, this, [this](bool On) {
        if (On) BigClick(Small);
    });
    connect(bOk, &QPushButton::clicked, this, [this] { bOkClick(bOk); });
    connect(bCancel, &QPushButton::clicked, this, [this] { bOkClick(bCancel); });
    connect(C64CharacterMap1, &TC64CharacterMap::Click, this, &TCharacterDlg::C64CharacterMap1Click);
    connect(C64CharacterMap1, &TC64CharacterMap::DblClick, this, &TCharacterDlg::C64CharacterMap1DblClick);
}

void TCharacterDlg::setVisible(bool Visible) {
    // Placed before the window exists, so the position is that of the frame, as the
    // remembered one is, and the dialog does not creep by a title bar per opening.
    if (Visible && !isVisible()) FormShow();
    QDialog::setVisible(Visible);
}

void TCharacterDlg::FormShow() {
    move(LastDialogLeft, LastDialogTop);
    // Big is checked and the chart in its face from construction; checking Small switches.
    (LastSmallMode ? Small : Big)->setChecked(true);
}

void TCharacterDlg::BigClick(QObject* Sender) {
    if (Sender == Big) {
        Small->setChecked(false);
        C64CharacterMap1->UseBigGraphicFont();
    } else {
        Big->setChecked(false);
        C64CharacterMap1->UseSmallBigFont();
    }
}

void TCharacterDlg::C64CharacterMap1Click() {
    bOk->setEnabled(true);
}

void TCharacterDlg::C64CharacterMap1DblClick() {
    // The double click's own press has already enabled the button through its click.
    bOk->setEnabled(true);
    bOk->click();
}

void TCharacterDlg::bOkClick(QObject* Sender) {
    FSelectedChar = C64CharacterMap1->SelectedChar();
    LastDialogLeft = x();
    LastDialogTop = y();
    LastSmallMode = !Big->isChecked();
    done(Sender == bOk ? Accepted : Rejected);
}

void TCharacterDlg::keyPressEvent(QKeyEvent* Event) {
    // Escape presses "Cancel", so the place and face are remembered as with a click; only
    // the window's close box leaves them as they were.
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        bCancel->click();
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TCharacterDlg::PickToClipboard(QWidget* Owner, IUserPrompts& Prompts) {
    TCharacterDlg Dialog(Owner);
    if (Dialog.exec() != Accepted) return;
    // Confirmed without a character: the clipboard keeps what it held rather than being
    // emptied for nothing.
    if (Dialog.SelectedChar() == 0) return;
    Prompts.SetClipboardText(QString(QChar::fromLatin1(static_cast<char>(Dialog.SelectedChar()))));
}

QIcon TCharacterDlg::ButtonGlyph() {
    QPixmap Picture(16, 16);
    Picture.fill(Qt::transparent);
    QPainter Painter(&Picture);
    const QPolygon Top({QPoint(1, 4), QPoint(4, 1), QPoint(15, 1), QPoint(12, 4)});
    const QPolygon Side({QPoint(12, 4), QPoint(15, 1), QPoint(15, 12), QPoint(12, 15)});
    Painter.setPen(Qt::black);
    Painter.setBrush(QColor(160, 160, 224));
    Painter.drawPolygon(Top);
    Painter.setBrush(QColor(96, 96, 176));
    Painter.drawPolygon(Side);
    Painter.setBrush(Qt::white);
    Painter.drawRect(1, 4, 11, 11);
    Painter.setFont(PetsciiText::C64Font(QStringLiteral("CBM64 Big/Graphic")));
    Painter.drawText(QRect(3, 6, 8, 8), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("A"));
    return QIcon(Picture);
}
