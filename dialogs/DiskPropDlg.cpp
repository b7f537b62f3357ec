// TDiskPropDlg: layout, filling from a disk and the values handed back.
#include "DiskPropDlg.h"

#include "CharacterDlgUnit.h"
#include "DialogControls.h"
#include "FixedForm.h"
#include "PetsciiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

using namespace DialogControls;

namespace {

constexpr int ClientWidth = 382;
constexpr int ClientHeight = 216;
constexpr int ShownIdLength = 3;

} // namespace

TDiskPropValues TDiskPropValues::FromDisk(TC64Disk& Disk) {
    TDiskPropValues Values;
    Values.FileName = QFile::decodeName(QByteArray::fromStdString(Disk.FileName()));
    Values.DosEmuItem = deCbmDos;
    Values.TrackCount = Disk.GetTrackCount();
    const TDiskType Type = Disk.DiskType();
    if (Type == dt40Tracks || Type == dt40TracksErrorInfo) {
        Values.TrackCount = 40;
        Values.DosEmuEnabled = true;
        const TDosEmulation Emulation = Disk.DosEmulation();
        Values.DosEmuItem = Emulation == deSpeedDos || Emulation == deDolphinDos || Emulation == dePrologicDos
                                ? Emulation
                                : deCbmDos;
    }
    Values.ErrorInfo = Type == dt35TracksErrorInfo || Type == dt40TracksErrorInfo || Type == dt71ErrorInfo;
    Values.DiskName = Disk.GetDiskName();
    // "%-3s%-ns" with a DOS-type text, the ID text alone without one.
    const PetsciiString Id = Disk.GetDiskID();
    const PetsciiString DosType = Disk.GetDosType();
    if (DosType.empty()) {
        Values.DiskID = Id;
        Values.IdPaddedFrom = ShownIdLength;
    } else {
        Values.DiskID =
            Id + PetsciiString(ShownIdLength - std::min<size_t>(Id.size(), ShownIdLength), ' ') + DosType;
        Values.IdPaddedFrom = static_cast<int>(std::min<size_t>(Id.size(), ShownIdLength));
    }
    Values.FreeBlocksLimit = Disk.GetFreeBlocksLimit();
    Values.FreeBlocks = Disk.GetFreeBlocks();
    Values.SoftWriteProtected = Disk.IsSoftWriteProtected();
    return Values;
}

PetsciiString TDiskPropValues::IdPart() const {
    PetsciiString Id = DiskID.substr(0, ShownIdLength);
    while (static_cast<int>(Id.size()) > IdPaddedFrom && Id.back() == ' ')
        Id.pop_back();
    return Id;
}

PetsciiString TDiskPropValues::DosTypePart() const {
    return DiskID.size() > ShownIdLength ? DiskID.substr(ShownIdLength, 2) : PetsciiString();
}

TDiskPropDlg::TDiskPropDlg(IUserPrompts& Prompts, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Prompts(Prompts) {
    FixedForm::Setup(this, QStringLiteral("Disk Properties"), QSize(ClientWidth, ClientHeight));
    Bevel1 = FixedForm::NewBevel(this, QRect(8, 8, 281, 201));

    Label9 = NewLabel(this, QStringLiteral("Tracks:"), 26, 24, true);
    Tracks = NewStaticText(this, QRect(136, 23, 89, 17), QStringLiteral("Number of Tracks on Disk"));
    Label5 = NewLabel(this, QStringLiteral("Error Information:"), 26, 48, true);
    ErrorInfos = NewStaticText(this, QRect(136, 48, 89, 17), QStringLiteral("Error Bytes included in Image"));
    Label1 = NewLabel(this, QStringLiteral("Disklabel:"), 26, 72, true);
    Diskname = NewC64Edit(this, QRect(136, 72, 137, 18), 16, QStringLiteral("Label of the Disk"),
                          TLetterKeys::SwapCase);
    Label3 = NewLabel(this, QStringLiteral("Disk ID:"), 26, 99, true);
    DiskID = NewC64Edit(this, QRect(136, 99, 50, 18), 5, QStringLiteral("Disk ID and DOS Type Strings"),
                        TLetterKeys::SwapCase);
    bChar = NewSpeedButton(this, QRect(200, 95, 22, 22), TCharacterDlg::ButtonGlyph(),
                           QStringLiteral("Open Character Dialog"));
    Label2 = NewLabel(this, QStringLiteral("Free Blocks:"), 26, 128, true);
    FreeBlocks = NewNumberField(this, QRect(136, 123, 50, 22), 664, 4, QStringLiteral("Free Blocks on Disk"));

    SWProtect =
        NewLeftCaptionCheckBox(this, QStringLiteral("Soft Write Protection:"), QRect(24, 155, 145, 17),
                               QStringLiteral("Enable Soft Write Protection for Disk"));

    Label4 = NewLabel(this, QStringLiteral("Dos Emulation:"), 26, 184, true);
    DosEmu = new QComboBox(this);
    DosEmu->setGeometry(136, 179, 89, 21);
    DosEmu->setEditable(true);
    DosEmu->setInsertPolicy(QComboBox::NoInsert);
    DosEmu->addItems({QStringLiteral("CBM Dos"), QStringLiteral("Speed Dos"), QStringLiteral("Dolphin Dos"),
                      QStringLiteral("Prologic Dos")});
    DosEmu->setToolTip(QStringLiteral("Current Dos Emulation for Disk (only 40 Track Disks)"));
    DosEmu->setEnabled(false);

    OKBtn = NewButton(this, QStringLiteral("OK"), QRect(300, 8, 75, 25), true);
    CancelBtn = NewButton(this, QStringLiteral("Cancel"), QRect(300, 40, 75, 25));

    for (auto [From, To] : {std::pair<QWidget*, QWidget*>{Diskname, DiskID},
                            {DiskID, FreeBlocks},
                            {FreeBlocks, SWProtect},
                            {SWProtect, DosEmu},
                            {DosEmu, OKBtn},
                            {OKBtn, CancelBtn}})
        setTabOrder(From, To);

    connect(bChar, &QToolButton::clicked, this, &TDiskPropDlg::bCharClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    SetValues({});
    // The form's own caption until a disk's values replace it.
    setWindowTitle(QStringLiteral("Disk Properties"));
    CentreOnScreen(this, Owner);
}

void TDiskPropDlg::SetValues(const TDiskPropValues& Values) {
    FValues = Values;
    setWindowTitle(QStringLiteral("Disk Properties - ") + Values.FileName);
    Tracks->setText(QString::number(Values.TrackCount));
    ErrorInfos->setText(Values.ErrorInfo ? QStringLiteral("Included") : QStringLiteral("Not Included"));
    Diskname->setText(PetsciiText::ToDisplay(Values.DiskName));
    SelectForTyping(Diskname);
    DiskID->setText(PetsciiText::ToDisplay(Values.DiskID));
    // The maximum first, so that a value above the form's 664 is not cut.
    FreeBlocks->setMaximum(Values.FreeBlocksLimit);
    FreeBlocks->setValue(Values.FreeBlocks);
    SWProtect->setChecked(Values.SoftWriteProtected);
    DosEmu->setCurrentIndex(Values.DosEmuItem);
    DosEmu->setEnabled(Values.DosEmuEnabled);
}

TDiskPropValues TDiskPropDlg::Values() const {
    TDiskPropValues Values = FValues;
    Values.DiskName = PetsciiText::FromDisplay(Diskname->text());
    Values.DiskID = PetsciiText::FromDisplay(DiskID->text());
    Values.FreeBlocks = FreeBlocks->value();
    Values.SoftWriteProtected = SWProtect->isChecked();
    // Text typed into the list's field selects no item, even when it reads like one.
    const int Item = DosEmu->currentIndex();
    Values.DosEmuItem = Item >= 0 && DosEmu->currentText() == DosEmu->itemText(Item) ? Item : -1;
    return Values;
}

std::optional<TDiskPropValues> TDiskPropDlg::Execute(IUserPrompts& Prompts, QWidget* Owner,
                                                     const TDiskPropValues& Initial) {
    return ExecuteModal<TDiskPropDlg>(Prompts, Owner, Initial);
}

void TDiskPropDlg::bCharClick() {
    TCharacterDlg::PickToClipboard(this, Prompts);
}
