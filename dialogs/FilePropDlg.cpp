// TFilePropertiesDlg: layout, the type list and its mapping, the values handed back.
#include "FilePropDlg.h"

#include "CharacterDlgUnit.h"
#include "DialogControls.h"
#include "FixedForm.h"
#include "PetsciiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace DialogControls;

namespace {

constexpr int ClientWidth = 360;
constexpr int ClientHeight = 200;
constexpr int MaxBlocks = 65535;

} // namespace

TFilePropValues TFilePropValues::FromEntry(TC64Disk& Disk, const uint8_t* Entry) {
    TFilePropValues Values;
    Values.Name = PetsciiToString(Entry + 5, 15);
    Values.Blocks = Entry[30] | (Entry[31] << 8);
    const TFileTypeInfo Info = Disk.DecodeFileType(Entry[2]);
    Values.Closed = Info.Closed != 0;
    Values.Locked = Info.Locked != 0;
    Values.TypeItem = ItemOfKind(Info.Kind);
    return Values;
}

QString TFilePropValues::RealSizeNote(std::optional<int> Bytes) {
    if (!Bytes) return QStringLiteral("* (real filesize not known)");
    return QStringLiteral("* (real filesize is %1 byte)").arg(*Bytes);
}

int TFilePropValues::ItemOfKind(TFileKind Kind) {
    switch (Kind) {
    case fkPrg:
        return PrgItem;
    case fkDel:
        return DelItem;
    case fkSeq:
        return SeqItem;
    case fkRel:
        return RelItem;
    case fkUsr:
        return UsrItem;
    default:
        return UnknownItem;
    }
}

TFileKind TFilePropValues::KindOfItem(int Item) {
    static constexpr TFileKind Kinds[] = {fkPrg, fkDel, fkSeq, fkRel, fkUsr, fkUnknown};
    return Item >= PrgItem && Item <= UnknownItem ? Kinds[Item] : fkUnknown;
}

TFilePropertiesDlg::TFilePropertiesDlg(IUserPrompts& Prompts, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Prompts(Prompts) {
    FixedForm::Setup(this, QStringLiteral("File Properties"), QSize(ClientWidth, ClientHeight));
    Bevel1 = FixedForm::NewBevel(this, QRect(8, 7, 257, 186));

    Label1 = NewLabel(this, QStringLiteral("Filename:"), 24, 24, true);
    // File names follow the disk label's key rule: letters give the C64's capitals.
    efFilename = NewC64Edit(this, QRect(90, 21, 137, 18), 16, QStringLiteral("Name of the selected File"),
                            TLetterKeys::SwapCase);

    Label2 = NewLabel(this, QStringLiteral("Filetype:"), 24, 56, true);
    cbFiletype = new QComboBox(this);
    cbFiletype->setGeometry(90, 52, 57, 18);
    cbFiletype->setFont(PetsciiText::C64Font(QStringLiteral("CBM64 Big/Graphic")));
    cbFiletype->addItems({QStringLiteral("PRG"), QStringLiteral("DEL"), QStringLiteral("SEQ"),
                          QStringLiteral("REL"), QStringLiteral("USR"), QStringLiteral("?")});
    cbFiletype->setToolTip(QStringLiteral("Type of the selected File"));
    SpeedButton1 = NewSpeedButton(this, QRect(161, 49, 23, 22), TCharacterDlg::ButtonGlyph(),
                                  QStringLiteral("Open Character Dialog"));

    Label3 = NewLabel(this, QStringLiteral("Size* :"), 24, 88, true);
    seFilesize = NewNumberField(this, QRect(90, 84, 57, 22), MaxBlocks, 5, QStringLiteral("Size in blocks"));
    Label4 = NewLabel(this, QStringLiteral("blocks"), 152, 88, true);
    lbfilesize = new QLabel(this);
    lbfilesize->setGeometry(88, 112, 155, 13);
    lbfilesize->setTextFormat(Qt::PlainText);

    cbLocked = NewLeftCaptionCheckBox(this, QStringLiteral("Locked"), QRect(23, 136, 80, 17),
                                      QStringLiteral("Is the selected File locked?"));
    cbClosed = NewLeftCaptionCheckBox(this, QStringLiteral("Closed"), QRect(23, 164, 80, 17),
                                      QStringLiteral("is the Selected File already closed?"));

    OKBtn = NewButton(this, QStringLiteral("OK"), QRect(276, 8, 75, 25), true);
    CancelBtn = NewButton(this, QStringLiteral("Cancel"), QRect(276, 38, 75, 25));
    // Present on the form, but it has no action.
    Button1 = NewButton(this, QStringLiteral("Show BAM"), QRect(276, 80, 75, 25));
    Button1->setEnabled(false);

    for (auto [From, To] : {std::pair<QWidget*, QWidget*>{efFilename, cbFiletype},
                            {cbFiletype, seFilesize},
                            {seFilesize, cbLocked},
                            {cbLocked, cbClosed},
                            {cbClosed, OKBtn},
                            {OKBtn, CancelBtn},
                            {CancelBtn, Button1}})
        setTabOrder(From, To);

    connect(SpeedButton1, &QToolButton::clicked, this, &TFilePropertiesDlg::SpeedButton1Click);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    CentreOnScreen(this, Owner);
}

void TFilePropertiesDlg::SetValues(const TFilePropValues& Values) {
    efFilename->setText(PetsciiText::ToDisplay(Values.Name));
    SelectForTyping(efFilename);
    cbFiletype->setCurrentIndex(Values.TypeItem);
    seFilesize->setValue(Values.Blocks);
    lbfilesize->setText(Values.SizeNote);
    cbLocked->setChecked(Values.Locked);
    cbClosed->setChecked(Values.Closed);
}

TFilePropValues TFilePropertiesDlg::Values() const {
    TFilePropValues Values;
    Values.Name = PetsciiText::FromDisplay(efFilename->text());
    Values.TypeItem = cbFiletype->currentIndex();
    Values.Blocks = seFilesize->value();
    Values.SizeNote = lbfilesize->text();
    Values.Locked = cbLocked->isChecked();
    Values.Closed = cbClosed->isChecked();
    return Values;
}

std::optional<TFilePropValues> TFilePropertiesDlg::Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                           const TFilePropValues& Initial) {
    return ExecuteModal<TFilePropertiesDlg>(Prompts, Owner, Initial);
}

void TFilePropertiesDlg::SpeedButton1Click() {
    TCharacterDlg::PickToClipboard(this, Prompts);
}
