// TNewDlg: layout, defaults, tab order and handlers of the new-disk dialog.
#include "NewDlg.h"

#include "CharacterDlgUnit.h"
#include "DialogControls.h"
#include "FixedForm.h"
#include "PetsciiText.h"
#include "UserPrompts.h"
#include "hostfile.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace DialogControls;

namespace {

constexpr int ClientWidth = 339;
constexpr int ClientHeight = 229;

} // namespace

QString KindExtension(TNewDiskKind Kind) {
    switch (Kind) {
    case TNewDiskKind::D71:
        return QStringLiteral("d71");
    case TNewDiskKind::D81:
        return QStringLiteral("d81");
    case TNewDiskKind::D64:
        break;
    }
    return QStringLiteral("d64");
}

std::string KindDosType(TNewDiskKind Kind) {
    return Kind == TNewDiskKind::D81 ? "3D" : "2A";
}

TDiskType TNewDiskValues::DiskType() const {
    switch (Kind) {
    case TNewDiskKind::D71:
        return ErrorBytes ? dt71ErrorInfo : dt71;
    case TNewDiskKind::D81:
        return ErrorBytes ? dtD81ErrorInfo : dtD81;
    case TNewDiskKind::D64:
        break;
    }
    if (FortyTracks) return ErrorBytes ? dt40TracksErrorInfo : dt40Tracks;
    return ErrorBytes ? dt35TracksErrorInfo : dt35Tracks;
}

TDosEmulation TNewDiskValues::DosEmulation() const {
    if (Kind != TNewDiskKind::D64 || !FortyTracks) return deCbmDos;
    return DolphinDos ? deDolphinDos : deSpeedDos;
}

std::string TNewDiskValues::HostFileName() const {
    std::string Name = QFile::encodeName(Filename).toStdString();
    const std::size_t Slash = Name.find_last_of('/');
    const std::size_t Dot = Name.find_last_of('.');
    if (!Name.empty() && (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)))
        Name += "." + KindExtension(Kind).toStdString();
    return Name;
}

TNewDlg::TNewDlg(IUserPrompts& Prompts, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Prompts(Prompts) {
    FixedForm::Setup(this, QStringLiteral("Create New Disk"), QSize(ClientWidth, ClientHeight));
    Bevel1 = FixedForm::NewBevel(this, QRect(10, 8, 319, 177));

    Label1 = new QLabel(QStringLiteral("Disklabel:"), this);
    Label1->move(26, 24);
    Diskname = NewC64Edit(this, QRect(82, 24, 137, 16), 16, QStringLiteral("Label of the Disk"),
                          TLetterKeys::SwapCase);
    DiskID = NewC64Edit(this, QRect(234, 24, 49, 16), 5, QStringLiteral("Disk ID and DOS Type Strings"),
                        TLetterKeys::SwapCase);
    character = NewSpeedButton(this, QRect(292, 21, 23, 22), TCharacterDlg::ButtonGlyph(),
                               QStringLiteral("Open Character Dialog"));

    Label2 = new QLabel(QStringLiteral("Filename:"), this);
    Label2->move(26, 54);
    Filename = new QLineEdit(this);
    Filename->setGeometry(82, 51, 199, 21);
    Filename->setToolTip(QStringLiteral("Filename of the Disk"));
    SpeedButton1 = NewSpeedButton(this, QRect(292, 50, 23, 22), style()->standardIcon(QStyle::SP_DirOpenIcon),
                                  QStringLiteral("Open File Dialog"));

    // The 1541's two track counts, then the 1571's and the 1581's disks, whose tracks are fixed.
    DiskType = NewRadioGroup(QRect(24, 78, 137, 105), QStringLiteral("Disk Type"),
                             {QStringLiteral("1541, 35 Tracks"), QStringLiteral("1541, 40 Tracks"),
                              QStringLiteral("1571, 70 Tracks"), QStringLiteral("1581, 80 Tracks")},
                             DiskTypeItems);
    DiskType->setToolTip(QStringLiteral("Number of Tracks on Disk"));
    DiskFormat = NewRadioGroup(QRect(176, 78, 137, 65), QStringLiteral("Disk Format"),
                               {QStringLiteral("Speed Dos"), QStringLiteral("Dolphin Dos")}, DiskFormatItems);
    DiskFormat->setToolTip(QStringLiteral("Format of Disk"));

    ErrorBytes = new QCheckBox(QStringLiteral("include error bytes"), this);
    // Wider than designed when the host's face needs it, so the caption is never cut.
    ErrorBytes->setGeometry(184, 155, std::max(111, ErrorBytes->sizeHint().width()), 17);
    ErrorBytes->setToolTip(QStringLiteral("Include error byte for each sector"));

    OKBtn = NewButton(this, QStringLiteral("OK"), QRect(88, 196, 75, 25), true);
    CancelBtn = NewButton(this, QStringLiteral("Cancel"), QRect(176, 196, 75, 25));

    for (auto [From, To] : {std::pair<QWidget*, QWidget*>{Diskname, DiskID},
                            {DiskID, Filename},
                            {Filename, DiskTypeItems->button(0)},
                            {DiskTypeItems->button(0), DiskTypeItems->button(1)},
                            {DiskTypeItems->button(1), DiskTypeItems->button(2)},
                            {DiskTypeItems->button(2), DiskTypeItems->button(3)},
                            {DiskTypeItems->button(3), DiskFormatItems->button(0)},
                            {DiskFormatItems->button(0), DiskFormatItems->button(1)},
                            {DiskFormatItems->button(1), ErrorBytes},
                            {ErrorBytes, OKBtn},
                            {OKBtn, CancelBtn}})
        setTabOrder(From, To);

    connect(character, &QToolButton::clicked, this, &TNewDlg::characterClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TNewDlg::SearchClick);
    connect(DiskTypeItems, &QButtonGroup::idToggled, this, [this](int, bool Checked) {
        if (Checked) DiskTypeClick();
    });
    connect(OKBtn, &QPushButton::clicked, this, &TNewDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    SetValues({});
    CentreOnScreen(this, Owner);
}

QGroupBox* TNewDlg::NewRadioGroup(const QRect& Place, const QString& Caption, const QStringList& Texts,
                                  QButtonGroup*& Items) {
    auto* Group = new QGroupBox(Caption, this);
    Group->setGeometry(Place);
    auto* Layout = new QVBoxLayout(Group);
    Layout->setContentsMargins(8, 2, 8, 4);
    Layout->setSpacing(0);
    Items = new QButtonGroup(Group);
    for (const QString& Text : Texts) {
        auto* Item = new QRadioButton(Text, Group);
        Layout->addWidget(Item);
        Items->addButton(Item, Items->buttons().size());
    }
    return Group;
}

void TNewDlg::SetValues(const TNewDiskValues& Values) {
    Diskname->setText(PetsciiText::ToDisplay(Values.DiskName));
    DiskID->setText(PetsciiText::ToDisplay(Values.DiskID));
    Filename->setText(Values.Filename);
    ShownKind = Values.Kind;
    const int Type = Values.Kind == TNewDiskKind::D71   ? 2
                     : Values.Kind == TNewDiskKind::D81 ? 3
                                                        : int(Values.FortyTracks);
    DiskTypeItems->button(Type)->setChecked(true);
    DiskFormatItems->button(Values.DolphinDos ? 1 : 0)->setChecked(true);
    ErrorBytes->setChecked(Values.ErrorBytes);
    DiskTypeClick();
}

TNewDiskValues TNewDlg::Values() const {
    TNewDiskValues Values;
    Values.DiskName = PetsciiText::FromDisplay(Diskname->text());
    Values.DiskID = PetsciiText::FromDisplay(DiskID->text());
    Values.Filename = Filename->text();
    Values.FortyTracks = DiskTypeItems->checkedId() == 1;
    Values.Kind = CheckedKind();
    Values.DolphinDos = DiskFormatItems->checkedId() == 1;
    Values.ErrorBytes = ErrorBytes->isChecked();
    return Values;
}

std::optional<TNewDiskValues> TNewDlg::Execute(IUserPrompts& Prompts, QWidget* Owner,
                                               const TNewDiskValues& Initial) {
    return ExecuteModal<TNewDlg>(Prompts, Owner, Initial);
}

void TNewDlg::OKBtnClick() {
    // A file of that name may be a disk the user has filled: only his Yes replaces it,
    // and No leaves everything typed in place.
    const std::string Name = Values().HostFileName();
    if (!Name.empty() && HostFile::Exists(Name) &&
        !Prompts.AskYesNo("The file <" + QFile::decodeName(QByteArray::fromStdString(Name)) +
                              "> already exists!\r\nReplace it with the new disk?",
                          true)) {
        Filename->setFocus();
        return;
    }
    accept();
}

TNewDiskKind TNewDlg::CheckedKind() const {
    switch (DiskTypeItems->checkedId()) {
    case 2:
        return TNewDiskKind::D71;
    case 3:
        return TNewDiskKind::D81;
    default:
        return TNewDiskKind::D64;
    }
}

void TNewDlg::SearchClick() {
    const QString Ext = KindExtension(CheckedKind());
    const QString Chosen = Prompts.GetSaveFileName(
        this, QString(),
        QStringLiteral("%1 Diskimage (*.%2)|*.%2|All Files (*.*)|*.*").arg(Ext.toUpper(), Ext),
        QStringLiteral("Filename for Disk"), Ext);
    if (!Chosen.isEmpty()) Filename->setText(Chosen);
    Filename->setFocus();
}

void TNewDlg::DiskTypeClick() {
    DiskFormat->setEnabled(DiskTypeItems->checkedId() == 1);
    // A name and a DOS type that are the former kind's own become the new kind's; whatever
    // the user made of them otherwise stays.
    const TNewDiskKind Kind = CheckedKind();
    if (Kind == ShownKind) return;
    QString Name = Filename->text();
    const QString OldExt = "." + KindExtension(ShownKind);
    if (Name.endsWith(OldExt, Qt::CaseInsensitive)) {
        Name.chop(OldExt.size());
        Filename->setText(Name + "." + KindExtension(Kind));
    }
    std::string ID = PetsciiText::FromDisplay(DiskID->text());
    if (ID.size() == 5 && ID.substr(3) == KindDosType(ShownKind)) {
        ID.replace(3, 2, KindDosType(Kind));
        DiskID->setText(PetsciiText::ToDisplay(ID));
    }
    ShownKind = Kind;
}

void TNewDlg::characterClick() {
    TCharacterDlg::PickToClipboard(this, Prompts);
}
