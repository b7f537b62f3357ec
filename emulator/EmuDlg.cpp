// The emulator options dialog.
#include "EmuDlg.h"

#include "HandlerGuard.h"
#include "UserPrompts.h"

#include <QButtonGroup>
#include <QCheckBox>
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
    EmulatorPages->addTab(CCS_Page, "CCS64");
    EmulatorPages->addTab(Vice_Page, "WinVICE");
    EmulatorPages->addTab(Frodo_Page, "Frodo");
    BuildCCSPage();
    BuildVicePage();

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
    rgStartMethod1 = NewRadioGroup(CCS_Page, "rgStartMethod1", "Start Method", {"automatic", "manual"},
                                   "run program at startup", StartMethod1);
    rgLoadMethod1 = NewRadioGroup(CCS_Page, "rgLoadMethod1", "Load Method", {"normal", "fast"},
                                  "speed of disk drive", LoadMethod1);
    auto* Groups = new QHBoxLayout();
    Groups->addWidget(rgStartMethod1);
    Groups->addWidget(rgLoadMethod1);
    Column->addLayout(Groups);
    cbWindowed1 = new QCheckBox("run windowed", CCS_Page);
    cbWindowed1->setObjectName("cbWindowed1");
    cbWindowed1->setToolTip("runs emulator in windowed mode");
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

void TEmuDlg::Fill(const TEmulatorSettings& CCS64, const TEmulatorSettings& WinVice, int CurrentEmulator) {
    edEmuLocation1->setText(QString::fromStdString(CCS64.Location));
    cbWindowed1->setChecked(CCS64.Windowed);
    SetItemIndex(LoadMethod1, CCS64.FastLoad ? 1 : 0);
    SetItemIndex(StartMethod1, CCS64.AutoRun ? 0 : 1);
    edEmuLocation2->setText(QString::fromStdString(WinVice.Location));
    SetItemIndex(LoadMethod2, WinVice.FastLoad ? 1 : 0);
    EmulatorPages->setCurrentWidget(CurrentEmulator == 2   ? Vice_Page
                                    : CurrentEmulator == 3 ? Frodo_Page
                                                           : CCS_Page);
}

void TEmuDlg::ReadBack(TEmulatorSettings& CCS64, TEmulatorSettings& WinVice) const {
    CCS64.Location = edEmuLocation1->text().toStdString();
    CCS64.Windowed = cbWindowed1->isChecked();
    CCS64.AutoRun = StartMethod1->checkedId() == 0;
    CCS64.FastLoad = LoadMethod1->checkedId() == 1;
    WinVice.Location = edEmuLocation2->text().toStdString();
    WinVice.FastLoad = LoadMethod2->checkedId() == 1;
}

void TEmuDlg::Button1Click(int Tag) {
    RunGuarded(Prompts, [this, Tag] {
        const QString FileName = Prompts.GetOpenFileName(this, QString(), BrowseFilter, {BrowseTitle, true});
        if (FileName.isEmpty()) return;
        QLineEdit* Edit = Tag == 1 ? edEmuLocation1 : edEmuLocation2;
        Edit->setText(FileName);
        Edit->setFocus();
    });
}

void TEmuDlg::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (const QScreen* Screen = screen()) move(Screen->availableGeometry().center() - rect().center());
}
