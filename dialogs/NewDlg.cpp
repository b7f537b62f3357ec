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

TDiskType TNewDiskValues::DiskType() const {
    if (FortyTracks) return ErrorBytes ? dt40TracksErrorInfo : dt40Tracks;
    return ErrorBytes ? dt35TracksErrorInfo : dt35Tracks;
}

TDosEmulation TNewDiskValues::DosEmulation() const {
    if (!FortyTracks) return deCbmDos;
    return DolphinDos ? deDolphinDos : deSpeedDos;
}

std::string TNewDiskValues::HostFileName() const {
    std::string Name = QFile::encodeName(Filename).toStdString();
    const std::size_t Slash = Name.find_last_of('/');
    const std::size_t Dot = Name.find_last_of('.');
    if (!Name.empty() && (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)))
        Name += ".d64";
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

    DiskType = NewRadioGroup(QRect(24, 83, 137, 65), QStringLiteral("Disk Type"), QStringLiteral("35 Tracks"),
                             QStringLiteral("40 Tracks"), DiskTypeItems);
    DiskType->setToolTip(QStringLiteral("Number of Tracks on Disk"));
    DiskFormat = NewRadioGroup(QRect(176, 83, 137, 65), QStringLiteral("Disk Format"),
                               QStringLiteral("Speed Dos"), QStringLiteral("Dolphin Dos"), DiskFormatItems);
    DiskFormat->setToolTip(QStringLiteral("Format of Disk"));

    ErrorBytes = new QCheckBox(QStringLiteral("include error bytes"), this);
    // Wider than designed when the host's face needs it, so the caption is never cut.
    ErrorBytes->setGeometry(26, 155, std::max(111, ErrorBytes->sizeHint().width()), 17);
    ErrorBytes->setToolTip(QStringLiteral("Include error byte for each sector"));

    OKBtn = NewButton(this, QStringLiteral("OK"), QRect(88, 196, 75, 25), true);
    CancelBtn = NewButton(this, QStringLiteral("Cancel"), QRect(176, 196, 75, 25));

    for (auto [From, To] : {std::pair<QWidget*, QWidget*>{Diskname, DiskID},
                            {DiskID, Filename},
                            {Filename, DiskTypeItems->button(0)},
                            {DiskTypeItems->button(0), DiskTypeItems->button(1)},
                            {DiskTypeItems->button(1), DiskFormatItems->button(0)},
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

QGroupBox* TNewDlg::NewRadioGroup(const QRect& Place, const QString& Caption, const QString& First,
                                  const QString& Second, QButtonGroup*& Items) {
    auto* Group = new QGroupBox(Caption, this);
    Group->setGeometry(Place);
    auto* Layout = new QVBoxLayout(Group);
    Layout->setContentsMargins(8, 2, 8, 4);
    Layout->setSpacing(0);
    Items = new QButtonGroup(Group);
    for (const QString& Text : {First, Second}) {
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
    DiskTypeItems->button(Values.FortyTracks ? 1 : 0)->setChecked(true);
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

void TNewDlg::SearchClick() {
    const QString Chosen = Prompts.GetSaveFileName(
        this, QString(), QStringLiteral("D64 Diskimage (*.d64)|*.d64|All Files (*.*)|*.*"),
        QStringLiteral("Filename for Disk"), QStringLiteral("d64"));
    if (!Chosen.isEmpty()) Filename->setText(Chosen);
    Filename->setFocus();
}

void TNewDlg::DiskTypeClick() {
    DiskFormat->setEnabled(DiskTypeItems->checkedId() == 1);
}

void TNewDlg::characterClick() {
    TCharacterDlg::PickToClipboard(this, Prompts);
}
