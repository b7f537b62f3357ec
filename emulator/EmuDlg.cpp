// The emulator options dialog.
#include "EmuDlg.h"

#include "HandlerGuard.h"
#include "ProgramPath.h"
#include "UserPrompts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const BrowseTitle = "Find Emulator";
// Programs here carry no extension; the dialog offers every file the user may run.
const char* const BrowseFilter = "Executables (*)|*";

QGroupBox* NewRadioGroup(QWidget* Parent, const char* Name, const char* Caption, const QStringList& Items,
                         const char* Hint, QButtonGroup*& Group) {
    auto* Box = new QGroupBox(Caption, Parent);
    Box->setObjectName(Name);
    Box->setToolTip(Hint);
    Group = new QButtonGroup(Box);
    auto* Column = new QVBoxLayout(Box);
    for (int Index = 0; Index < Items.size(); ++Index) {
        auto* Button = new QRadioButton(Items[Index], Box);
        Group->addButton(Button, Index);
        Column->addWidget(Button);
    }
    return Box;
}

void SetItemIndex(QButtonGroup* Group, int Index) {
    if (QAbstractButton* Button = Group->button(Index)) Button->setChecked(true);
}

QCheckBox* NewCheckBox(QWidget* Page, const char* Name, const char* Caption, const char* Hint) {
    auto* Box = new QCheckBox(Caption, Page);
    Box->setObjectName(Name);
    Box->setToolTip(Hint);
    return Box;
}

// The start and load method groups side by side.
QHBoxLayout* NewMethodRow(QWidget* Page, int Tag, QGroupBox*& StartBox, QButtonGroup*& Start,
                          QGroupBox*& LoadBox, QButtonGroup*& Load, const char* LoadHint) {
    StartBox = NewRadioGroup(Page, qPrintable(QStringLiteral("rgStartMethod%1").arg(Tag)), "Start Method",
                             {"automatic", "manual"}, "run program at startup", Start);
    LoadBox = NewRadioGroup(Page, qPrintable(QStringLiteral("rgLoadMethod%1").arg(Tag)), "Load Method",
                            {"normal", "fast"}, LoadHint, Load);
    auto* Groups = new QHBoxLayout();
    Groups->addWidget(StartBox);
    Groups->addWidget(LoadBox);
    return Groups;
}

// The label, the edit and the small browse button across the top of a page.
QHBoxLayout* NewLocationRow(QWidget* Page, int Tag, QLabel*& Label, QLineEdit*& Edit, QPushButton*& Button) {
    Label = new QLabel("Location:", Page);
    Edit = new QLineEdit(Page);
    Edit->setObjectName(QStringLiteral("edEmuLocation%1").arg(Tag));
    Edit->setToolTip("location of emulator");
    Label->setBuddy(Edit);
    Button = new QPushButton("...", Page);
    Button->setObjectName(QStringLiteral("Button%1").arg(Tag));
    Button->setToolTip("search");
    Button->setFixedWidth(24);
    auto* Row = new QHBoxLayout();
    Row->addWidget(Label);
    Row->addWidget(Edit, 1);
    Row->addWidget(Button);
    return Row;
}

} // namespace

TEmuDlg::TEmuDlg(IUserPrompts& Prompts, QWidget* Parent) : QDialog(Parent), Prompts(Prompts) {
    setWindowTitle("Emulator Settings");
    // A fixed dialog border: no sizing, no minimising or maximising.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(353, 282);

    EmulatorPages = new QTabWidget(this);
    EmulatorPages->setObjectName("EmulatorPages");
    EmulatorPages->tabBar()->setAttribute(Qt::WA_Hover);
    CCS_Page = new QWidget(EmulatorPages);
    Vice_Page = new QWidget(EmulatorPages);
    Frodo_Page = new QWidget(EmulatorPages);
    CCS_Page->setObjectName("CCS_Page");
    Vice_Page->setObjectName("Vice_Page");
    Frodo_Page->setObjectName("Frodo_Page");
    X64_Page = new QWidget(EmulatorPages);
    X64_Page->setObjectName("X64_Page");
    EmulatorPages->addTab(CCS_Page, "CCS64");
    EmulatorPages->addTab(Vice_Page, "WinVICE");
    EmulatorPages->addTab(X64_Page, "VICE");
    EmulatorPages->addTab(Frodo_Page, "Frodo");
    BuildCCSPage();
    BuildVicePage();
    BuildX64Page();

    OkButton = new QPushButton("Ok", this);
    CancelButton = new QPushButton("Cancel", this);
    OkButton->setObjectName("OkButton");
    CancelButton->setObjectName("CancelButton");
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* Buttons = new QHBoxLayout();
    Buttons->addStretch(1);
    Buttons->addWidget(OkButton);
    Buttons->addWidget(CancelButton);
    auto* Column = new QVBoxLayout(this);
    Column->addWidget(EmulatorPages, 1);
    Column->addLayout(Buttons);
}

void TEmuDlg::BuildCCSPage() {
    auto* Column = new QVBoxLayout(CCS_Page);
    Column->addLayout(NewLocationRow(CCS_Page, 1, Label1, edEmuLocation1, Button1));
    Column->addLayout(NewMethodRow(CCS_Page, 1, rgStartMethod1, StartMethod1, rgLoadMethod1, LoadMethod1,
                                   "speed of disk drive"));
    cbWindowed1 = NewCheckBox(CCS_Page, "cbWindowed1", "run windowed", "runs emulator in windowed mode");
    Column->addWidget(cbWindowed1);
    Column->addStretch(1);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(1); });
}

void TEmuDlg::BuildVicePage() {
    auto* Column = new QVBoxLayout(Vice_Page);
    Column->addLayout(NewLocationRow(Vice_Page, 2, Label2, edEmuLocation2, Button2));
    rgLoadMethod2 = NewRadioGroup(Vice_Page, "rgLoadMethod2", "Load Method", {"normal", "fast"},
                                  "speed of disk drive", LoadMethod2);
    auto* Groups = new QHBoxLayout();
    Groups->addWidget(rgLoadMethod2);
    Groups->addStretch(1);
    Column->addLayout(Groups);
    Column->addStretch(1);
    connect(Button2, &QPushButton::clicked, this, [this] { Button1Click(2); });
}

void TEmuDlg::BuildX64Page() {
    auto* Column = new QVBoxLayout(X64_Page);
    Column->addLayout(NewLocationRow(X64_Page, 3, Label3, edEmuLocation3, Button3));
    Column->addLayout(NewMethodRow(X64_Page, 3, rgStartMethod3, StartMethod3, rgLoadMethod3, LoadMethod3,
                                   "warp mode while the program loads"));
    cbTrueDrive3 = NewCheckBox(X64_Page, "cbTrueDrive3", "true drive emulation",
                               "emulates the 1541 itself: slower, but every loader works");
    cbWindowed3 = NewCheckBox(X64_Page, "cbWindowed3", "run windowed", "runs emulator in windowed mode");
    Column->addWidget(cbTrueDrive3);
    Column->addWidget(cbWindowed3);
    Column->addStretch(1);
    connect(Button3, &QPushButton::clicked, this, [this] { Button1Click(3); });
}

void TEmuDlg::Fill(const TEmulatorSettings& CCS64, const TEmulatorSettings& WinVice, int CurrentEmulator) {
    edEmuLocation1->setText(QString::fromStdString(CCS64.Location));
    cbWindowed1->setChecked(CCS64.Windowed);
    SetItemIndex(LoadMethod1, CCS64.FastLoad ? 1 : 0);
    SetItemIndex(StartMethod1, CCS64.AutoRun ? 0 : 1);
    edEmuLocation2->setText(QString::fromStdString(WinVice.Location));
    SetItemIndex(LoadMethod2, WinVice.FastLoad ? 1 : 0);
    EmulatorPages->setCurrentWidget(CurrentEmulator == 2   ? Vice_Page
                                    : CurrentEmulator == 3 ? Frodo_Page
                                    : CurrentEmulator == 4 ? X64_Page
                                                           : CCS_Page);
}

void TEmuDlg::FillVice(const TViceSettings& Vice) {
    edEmuLocation3->setText(QString::fromStdString(Vice.Location));
    SetItemIndex(StartMethod3, Vice.AutoRun ? 0 : 1);
    SetItemIndex(LoadMethod3, Vice.FastLoad ? 1 : 0);
    cbTrueDrive3->setChecked(Vice.TrueDrive);
    cbWindowed3->setChecked(Vice.Windowed);
}

void TEmuDlg::ReadBack(TEmulatorSettings& CCS64, TEmulatorSettings& WinVice) const {
    CCS64.Location = edEmuLocation1->text().toStdString();
    CCS64.Windowed = cbWindowed1->isChecked();
    CCS64.AutoRun = StartMethod1->checkedId() == 0;
    CCS64.FastLoad = LoadMethod1->checkedId() == 1;
    WinVice.Location = edEmuLocation2->text().toStdString();
    WinVice.FastLoad = LoadMethod2->checkedId() == 1;
}

void TEmuDlg::ReadBackVice(TViceSettings& Vice) const {
    Vice.Location = edEmuLocation3->text().toStdString();
    Vice.AutoRun = StartMethod3->checkedId() == 0;
    Vice.FastLoad = LoadMethod3->checkedId() == 1;
    Vice.TrueDrive = cbTrueDrive3->isChecked();
    Vice.Windowed = cbWindowed3->isChecked();
}

void TEmuDlg::Button1Click(int Tag) {
    RunGuarded(Prompts, [this, Tag] {
        QLineEdit* Edit = Tag == 1 ? edEmuLocation1 : Tag == 2 ? edEmuLocation2 : edEmuLocation3;
        const QString Program = QString::fromStdString(ProgramPath::Find(Edit->text().toStdString()));
        const QString Folder = QFileInfo(Program).absolutePath();
        const QString Start =
            !Program.isEmpty() && QFileInfo(Folder).isDir() ? Folder : QStringLiteral("/usr/bin");
        const QString FileName = Prompts.GetOpenFileName(this, Start, BrowseFilter, {BrowseTitle, true});
        if (FileName.isEmpty()) return;
        Edit->setText(FileName);
        Edit->setFocus();
    });
}

void TEmuDlg::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (const QScreen* Screen = screen()) move(Screen->availableGeometry().center() - rect().center());
}
