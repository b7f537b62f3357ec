// TMainForm: the main window, its panes, command table, window keys, font mode and
// settings. Handlers of commands built later stay disabled until they exist.
#include "Main.h"

#include "D64StringGrid.h"
#include "FontInstaller.h"
#include "GridColors.h"
#include "HandlerGuard.h"
#include "HostSystemInfo.h"
#include "ListingRow.h"
#include "LocalPath.h"
#include "PetsciiText.h"
#include "PosixProcessStarter.h"
#include "SettingsStore.h"
#include "UserPrompts.h"
#include "WindowGeometry.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QScreen>
#include <QStatusBar>
#include <QIcon>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace {

const char* const OpenFilter = "C64 Diskimage (*.d64 *.d71 *.d81)|*.d64;*.d71;*.d81|All Files (*.*)|*.*";
const char* const NoDiskCaption = "NO DISK";
const char* const FirstFontFile = "CBM64_G.fon";
const char* const SecondFontFile = "CBM64_S.fon";
const char* const FontRemoveError = "Error while removing font-resource!";

const char* const ShortcutsText = "Shortcuts for Kobaltmandrexis:\r\n\r\n"
                                  "CTRL-A       :  select all\r\n"
                                  "CTRL-B       :  boot focused disk\r\n"
                                  "CTRL-N       :  create new disk\r\n"
                                  "CTRL-O       :  open disk\r\n"
                                  "CTRL-Z       :  undo the last change\r\n"
                                  "CTRL-SHIFT-Z :  redo the change undone\r\n"
                                  "CTRL-R / Return :  run selected file\r\n"
                                  "ALT-F1       :  open disk on left side\r\n"
                                  "ALT-F2       :  open disk on right side\r\n"
                                  "TAB            :  switch focus between disks\r\n"
                                  "F1               :  help\r\n"
                                  "F2               :  switch between fontmode 1 && 2\r\n"
                                  "F3               :  view file\r\n"
                                  "F7               :  file properties\r\n"
                                  "DEL             :  scratch selected file(s)\r\n"
                                  "SHIFT-DEL  :  delete selected file(s)\r\n"
                                  "CTRL-C       :  select CCS64 as current emulator\r\n"
                                  "CTRL-V       :  select WinVice\r\n"
                                  "CTRL-E       :  select VICE\r\n"
                                  "CTRL-I       :  import files from the PC\r\n"
                                  "F6 / CTRL-UP :  move selected file(s) up\r\n"
                                  "SHIFT-F6 / CTRL-DOWN :  move selected file(s) down\r\n"
                                  "F9               :  rename file in place\r\n"
                                  "CTRL-SHIFT-R :  reload disks";

// Everything up to and including the last path delimiter.
QString FolderOf(const std::string& FileName) {
    const std::size_t Slash = FileName.find_last_of('/');
    if (Slash == std::string::npos) return QString();
    return FromLocalPath(FileName.substr(0, Slash + 1));
}

QAction* NewItem(QObject* Owner, const QString& Caption, const QKeySequence& Shortcut = QKeySequence(),
                 int Tag = 0) {
    auto* Item = new QAction(Caption, Owner);
    if (!Shortcut.isEmpty()) Item->setShortcut(Shortcut);
    Item->setData(Tag);
    return Item;
}

// A command whose handler comes with a later feature: visible, with its shortcut, inert.
QAction* DisabledItem(QObject* Owner, const QString& Caption, const QKeySequence& Shortcut = QKeySequence(),
                      int Tag = 0) {
    QAction* Item = NewItem(Owner, Caption, Shortcut, Tag);
    Item->setEnabled(false);
    return Item;
}

IProcessStarter& HostProcesses() {
    static TPosixProcessStarter Instance;
    return Instance;
}

ISystemInfo& HostSystem() {
    static THostSystemInfo Instance;
    return Instance;
}

} // namespace

TMainForm::TMainForm(IUserPrompts& Prompts, ISettingsStore& Settings, IFontInstaller& Fonts, QWidget* Parent)
    : TMainForm(Prompts, Settings, Fonts, HostProcesses(), HostSystem(), Parent) {}

TMainForm::TMainForm(IUserPrompts& Prompts, ISettingsStore& Settings, IFontInstaller& Fonts,
                     IProcessStarter& Processes, ISystemInfo& System, QWidget* Parent)
    : QMainWindow(Parent), Prompts(Prompts), Settings(Settings), Fonts(Fonts), Processes(Processes),
      System(System) {
    TC64Disk::SetNotifyHook(
        [this](const std::string& Text) { this->Prompts.ShowMessage(QString::fromStdString(Text)); });

    setMinimumSize(MinWindowWidth, MinWindowHeight);
    resize(MinWindowWidth, MinWindowHeight);
    setWindowTitle(AppCaption);
    // No tool bar hiding menu: the bars are part of the fixed layout.
    setContextMenuPolicy(Qt::NoContextMenu);

    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildPanes();
    BuildStatusBar();
    FormCreate();

    // Key preview: the window sees key releases of its controls before they do.
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    TC64Disk::SetNotifyHook(nullptr);
}

void TMainForm::Guarded(const std::function<void()>& Handler) {
    RunGuarded(Prompts, [&] {
        try {
            Handler();
        } catch (const EC64DiskChangedException& Error) {
            // Another program wrote the image; nothing of ours was written. Its panes are
            // read again, so that what the user sees is what the file holds now.
            Prompts.ShowError(QString::fromStdString(Error.what()));
            ReloadImage(Error.FileName);
            UpdateUndoItems(); // the steps of the file read again are gone
        }
    });
}

void TMainForm::ReloadImage(const std::string& FileName) {
    for (int Side : {1, 2})
        if (const std::shared_ptr<TC64Disk> Stale = DiskRef(Side); Stale && Stale->FileName() == FileName) {
            QString Failure;
            if (!RereadDisk(Stale, Failure)) Prompts.ShowError(Failure.mid(2));
            return;
        }
}

bool TMainForm::ChangeDisk(int Side, const std::function<void()>& Change, bool PlainRefusals,
                           const QString& Command) {
    const std::shared_ptr<TC64Disk> Changed = DiskRef(Side);
    // The image as its file held it before: memory and file agree between commands.
    ByteArray Before(Changed->Image(), Changed->Image() + Changed->ImageSize());
    const QString StepName = Command.isEmpty() ? TriggeringCommand() : Command;
    try {
        Change();
        RecordChange(Changed, StepName, std::move(Before));
        return true;
    } catch (const EC64DiskChangedException&) {
        throw; // nothing written: the guard reads the other program's image
    } catch (const std::exception& Error) {
        QString Text = QString::fromStdString(Error.what());
        if (const std::shared_ptr<TC64Disk> Fresh = RereadDisk(Changed, Text)) {
            // The file is the one the history knows: its steps go on with the new object,
            // and a change written in part is one more of them.
            History.Move(Changed.get(), Fresh);
            Text += FailedWriteNote(ByteArray(Fresh->Image(), Fresh->Image() + Fresh->ImageSize()) == Before);
            RecordChange(Fresh, StepName, std::move(Before));
        }
        if (PlainRefusals && dynamic_cast<const EC64DiskException*>(&Error))
            Prompts.ShowMessage(Text);
        else
            Prompts.ShowError(Text);
        return false;
    }
}

QString TMainForm::FailedWriteNote(bool NothingWritten) {
    if (NothingWritten) return QStringLiteral("\r\nNothing has been written to it.");
    return QStringLiteral("\r\nPart of the change has been written to it: it is shown as it now stands.");
}

std::shared_ptr<TC64Disk> TMainForm::RereadDisk(const std::shared_ptr<TC64Disk>& Stale, QString& Message) {
    std::shared_ptr<TC64Disk> Fresh;
    try {
        Fresh = TC64Disk::OpenDiskImage(Stale->FileName(), deCbmDos);
        if (Fresh && Fresh->DosEmulation() != Stale->DosEmulation())
            Fresh->SetDosEmulation(Stale->DosEmulation());
    } catch (const std::exception& Error) {
        if (!Fresh) Message += "\r\nIt could not be read again: " + QString::fromStdString(Error.what());
    }
    const int Active = ActiveSide();
    for (int Side : {Active == 1 ? 2 : 1, Active}) {
        if (DiskRef(Side) != Stale) continue;
        DiskRef(Side) = Fresh;
        SideMenu(Side)->setEnabled(Fresh != nullptr);
        RefreshSide(Side);
    }
    return Fresh;
}

// ---------------------------------------------------------------------------------
// Construction of the command table and the controls

void TMainForm::BuildActions() {
    NewD641 = NewItem(this, "&New D64...", QKeySequence("Ctrl+N"));
    NewD641->setToolTip("Create New Disk");
    OpenD641 = NewItem(this, "&Open D64...", QKeySequence("Ctrl+O"));
    OpenD641->setToolTip("Open Disk");
    // "&Copy" has C in this menu; the accelerator moves, the caption reads the same.
    CloseD641 = NewItem(this, "Close D&64");
    Copy1 = NewItem(this, "&Copy", QKeySequence("F5"));
    Copy1->setToolTip("Copy Selected File(s)");
    Move1 = NewItem(this, "&Move", QKeySequence("F6"));
    Move1->setToolTip("Move Selected File(s)");
    Scratch1 = NewItem(this, "&Scratch", QKeySequence("Del"));
    Scratch1->setToolTip("Scratch Selected File(s)");
    Delete1 = NewItem(this, "&Delete", QKeySequence("Shift+Del"));
    Delete1->setToolTip("Delete Selected File(s)");
    Rename1 = NewItem(this, "&Rename", QKeySequence("F9"));
    ExporttoPRG1 = NewItem(this, "&Export to PRG", QKeySequence(), 0);
    ExportFile1 = NewItem(this, "Export &File", QKeySequence(), 0);
    ExportSelection1 = NewItem(this, "Export &Selection", QKeySequence(), 1);
    ExportAll1 = NewItem(this, "Export &All", QKeySequence(), 2);
    Properties1 = NewItem(this, "&Properties", QKeySequence("F7"));
    Close1 = NewItem(this, "C&lose");

    SelectAll1 = NewItem(this, "&Select All", QKeySequence("Ctrl+A"));

    Run1 = NewItem(this, "&Run", QKeySequence("Ctrl+R"));
    BootDisk1 = NewItem(this, "&Boot Disk", QKeySequence("Ctrl+B"));
    CCS64Win321 = NewItem(this, "&CCS64 Win32", QKeySequence("Ctrl+C"), 1);
    WinVice1 = NewItem(this, "WinVice", QKeySequence("Ctrl+V"), 2);
    // Never enabled: Frodo becomes current only through a stored setting.
    Frodo1 = DisabledItem(this, "&Frodo", QKeySequence("Ctrl+F"), 3);
    Vice1 = NewItem(this, "&VICE", QKeySequence("Ctrl+E"), 4);
    for (QAction* Item : {CCS64Win321, WinVice1, Frodo1, Vice1})
        Item->setCheckable(true);
    auto* EmulatorGroup = new QActionGroup(this);
    EmulatorGroup->addAction(CCS64Win321);
    EmulatorGroup->addAction(WinVice1);
    EmulatorGroup->addAction(Vice1);
    CCS64Win321->setChecked(true);
    Options1 = NewItem(this, "&Options");

    SmallBig1 = NewItem(this, "&Small / Big", QKeySequence(), 1);
    BigGraphic1 = NewItem(this, "&Big / Graphic", QKeySequence(), 2);
    auto* FontGroup = new QActionGroup(this);
    for (QAction* Item : {SmallBig1, BigGraphic1}) {
        Item->setCheckable(true);
        FontGroup->addAction(Item);
    }
    BigGraphic1->setChecked(true);
    Settings1 = DisabledItem(this, "&Settings");

    static const char* const DosCaptions[4] = {"&CBM Dos V 2.6", "&Speed Dos", "&Dolphin Dos",
                                               "&Prologic Dos"};
    for (int Index = 0; Index < 2; ++Index) {
        DiskProperties[Index] = NewItem(this, "&Disk Properties", QKeySequence(), Index);
        ViewBAM[Index] = NewItem(this, "&View BAM", QKeySequence(), Index);
        auto* DosGroup = new QActionGroup(this);
        for (int Emulation = 0; Emulation < 4; ++Emulation) {
            QAction* Item = NewItem(this, DosCaptions[Emulation], QKeySequence(), Index * 10 + Emulation + 1);
            Item->setCheckable(true);
            DosGroup->addAction(Item);
            DosEmu[Index][Emulation] = Item;
        }
        DosEmu[Index][deCbmDos]->setChecked(true);
        DosEmu[Index][dePrologicDos]->setEnabled(false);
        SoftWrite[Index] = NewItem(this, "Ignore SoftWrite Protection", QKeySequence(), Index);
        SoftWrite[Index]->setCheckable(true);
        SoftWrite[Index]->setChecked(true);
    }
    DiskPropertiesButton = NewItem(this, "&Disk Properties");
    DiskPropertiesButton->setToolTip("Edit Disk Properties");
    ViewBAMButton = NewItem(this, "&View BAM");
    ViewBAMButton->setToolTip("View BAM");

    Shortcuts1 = NewItem(this, "&Shortcuts", QKeySequence("F1"));
    About1 = NewItem(this, "&About");

    Move1->setShortcuts({QKeySequence("F6"), QKeySequence("Ctrl+Up")});
    MoveDown1 = NewItem(this, "Move Do&wn");
    MoveDown1->setShortcuts({QKeySequence("Shift+F6"), QKeySequence("Ctrl+Down")});
    SortByName1 = NewItem(this, "Sort by &Name", QKeySequence(), 0);
    SortByType1 = NewItem(this, "Sort by &Type", QKeySequence(), 1);
    SortBySize1 = NewItem(this, "Sort by Si&ze", QKeySequence(), 2);
    Reload1 = NewItem(this, "&Reload", QKeySequence("Ctrl+Shift+R"));

    // Shortcuts stay live while a menu or another control of the window has the focus.
    for (QAction* Item : findChildren<QAction*>())
        Item->setShortcutContext(Qt::WindowShortcut);

    connect(NewD641, &QAction::triggered, this, [this] { NewD641Click(); });
    connect(OpenD641, &QAction::triggered, this, [this] { OpenD641Click(); });
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
    connect(Move1, &QAction::triggered, this, [this] { Move1Click(); });
    connect(Scratch1, &QAction::triggered, this, [this] { Scratch1Click(); });
    connect(Delete1, &QAction::triggered, this, [this] { DeleteButtonClick(); });
    connect(Rename1, &QAction::triggered, this, [this] { Rename1Click(); });
    connect(SelectAll1, &QAction::triggered, this, [this] { SelectAll1Click(); });
    for (QAction* Item : {ExporttoPRG1, ExportFile1, ExportSelection1, ExportAll1})
        connect(Item, &QAction::triggered, this, [this, Item] { ExporttoPRG2Click(Item->data().toInt()); });
    connect(CloseD641, &QAction::triggered, this, [this] { CloseD641Click(); });
    connect(Close1, &QAction::triggered, this, [this] { Close1Click(); });
    connect(Shortcuts1, &QAction::triggered, this, [this] { ShortcutsClick(); });
    connect(Run1, &QAction::triggered, this, [this] { RunClick(); });
    connect(BootDisk1, &QAction::triggered, this, [this] { BootDisk1Click(); });
    for (QAction* Item : {CCS64Win321, WinVice1, Frodo1, Vice1})
        connect(Item, &QAction::triggered, this, [this, Item] { EmuSelection(Item); });
    connect(Options1, &QAction::triggered, this, [this] { Options1Click(); });
    connect(About1, &QAction::triggered, this, [this] { AboutClick(); });
    connect(MoveDown1, &QAction::triggered, this, [this] { MoveDown1Click(); });
    for (QAction* Item : {SortByName1, SortByType1, SortBySize1})
        connect(Item, &QAction::triggered, this, [this, Item] { SortClick(Item->data().toInt()); });
    connect(Reload1, &QAction::triggered, this, [this] { Reload1Click(); });
    Watcher = new QFileSystemWatcher(this);
    connect(Watcher, &QFileSystemWatcher::fileChanged, this,
            [this](const QString& Path) { ImageFileChanged(Path); });
    ReloadTimer = new QTimer(this);
    ReloadTimer->setSingleShot(true);
    connect(ReloadTimer, &QTimer::timeout, this, [this] { ReloadChangedFiles(); });
    connect(Properties1, &QAction::triggered, this, [this] { Properties1Click(); });
    for (QAction* Item : {DiskProperties[0], DiskProperties[1], DiskPropertiesButton})
        connect(Item, &QAction::triggered, this, [this, Item] { PropertiesClick(Item); });
    for (QAction* Item : {ViewBAM[0], ViewBAM[1], ViewBAMButton})
        connect(Item, &QAction::triggered, this, [this, Item] { ViewBAMClick(Item); });
    for (QAction* Item : {SmallBig1, BigGraphic1})
        connect(Item, &QAction::triggered, this, [this, Item] { ChangeFontMode(Item); });
    for (int Index = 0; Index < 2; ++Index) {
        for (QAction* Item : DosEmu[Index])
            connect(Item, &QAction::triggered, this, [this, Item] { SwitchDosEmu(Item); });
        QAction* Item = SoftWrite[Index];
        connect(Item, &QAction::triggered, this, [this, Item] { SetSoftWrite(Item); });
    }

    ImportFiles1 = NewItem(this, "&Import Files...", QKeySequence("Ctrl+I"));
    ImportFiles1->setToolTip("Import Files");
    ImportFiles1->setShortcutContext(Qt::WindowShortcut);
    ExportPc641 = NewItem(this, "Export as PC6&4 Files (.P00)");
    ExportPc641->setCheckable(true);
    connect(ImportFiles1, &QAction::triggered, this, [this] { ImportFiles1Click(); });
}

void TMainForm::BuildMenus() {
    QMenu* FileMenu = menuBar()->addMenu("&File");
    FileMenu->addAction(NewD641);
    FileMenu->addAction(OpenD641);
    FileMenu->addAction(CloseD641);
    FileMenu->addAction(ImportFiles1);
    FileMenu->addSeparator();
    FileMenu->addActions({Copy1, Move1, MoveDown1, Scratch1, Delete1, Rename1, ExporttoPRG1, Properties1});
    FileMenu->insertAction(Properties1, ExportPc641);
    FileMenu->addSeparator();
    FileMenu->addAction(Close1);

    QMenu* EditMenu = menuBar()->addMenu("&Edit");
    EditMenu->addAction(SelectAll1);
    EditMenu->addSeparator();
    EditMenu->addActions({SortByName1, SortByType1, SortBySize1});
    BuildUndoItems(EditMenu);
    QMenu* ViewMenu = menuBar()->addMenu("&View");
    ViewMenu->addAction(Reload1);

    miLeft = menuBar()->addMenu("&Left");
    miRight = menuBar()->addMenu("&Right");
    QMenu* SideMenus[2] = {miLeft, miRight};
    for (int Index = 0; Index < 2; ++Index) {
        QMenu* Menu = SideMenus[Index];
        Menu->addAction(DiskProperties[Index]);
        Menu->addAction(ViewBAM[Index]);
        QMenu* DosMenu = Menu->addMenu("Dos &Emulation");
        for (QAction* Item : DosEmu[Index])
            DosMenu->addAction(Item);
        Menu->addAction(SoftWrite[Index]);
        Menu->setEnabled(false);
    }
    BuildValidateItems();

    QMenu* EmulationMenu = menuBar()->addMenu("E&mulation");
    EmulationMenu->addAction(Run1);
    EmulationMenu->addAction(BootDisk1);
    QMenu* EmulatorMenu = EmulationMenu->addMenu("&Emulator");
    EmulatorMenu->addActions({CCS64Win321, WinVice1, Vice1, Frodo1});
    EmulationMenu->addAction(Options1);

    QMenu* OptionsMenu = menuBar()->addMenu("&Options");
    QMenu* FontMenu = OptionsMenu->addMenu("&Fontmode");
    FontMenu->addActions({SmallBig1, BigGraphic1});
    OptionsMenu->addAction(Settings1);

    QMenu* HelpMenu = menuBar()->addMenu("&Help");
    HelpMenu->addAction(Shortcuts1);
    HelpMenu->addAction(About1);

    // Shared by both grids; the grids open it themselves on a right click.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addActions({Copy1, Move1, MoveDown1, Scratch1, Delete1, Rename1});
    QMenu* ExportMenu = PopupMenu1->addMenu("&Export to PRG");
    ExportMenu->addActions({ExportFile1, ExportSelection1, ExportAll1});
    // The submenu can be opened exactly when one of its items can be chosen.
    const auto FollowItems = [ExportMenu, this] {
        ExportMenu->menuAction()->setEnabled(ExportFile1->isEnabled() || ExportSelection1->isEnabled() ||
                                             ExportAll1->isEnabled());
    };
    for (QAction* Item : {ExportFile1, ExportSelection1, ExportAll1})
        connect(Item, &QAction::changed, this, FollowItems);
    FollowItems();
    ExportMenu->addSeparator();
    ExportMenu->addAction(ExportPc641);
    PopupMenu1->addAction(ImportFiles1);
    PopupMenu1->addAction(Properties1);
    BuildViewItems(FileMenu);
}

void TMainForm::BuildToolBars() {
    // The program's own pictures: the style's standard icons would read the desktop's icon
    // theme before the window first shows. They are read as PNG by name: left to guess the
    // format, Qt's image reader would load every image-format plugin to ask it first.
    const auto Icon = [](const char* Name) {
        QImageReader Reader(QStringLiteral(":/toolicons/%1.png").arg(Name), "png");
        Reader.setAutoDetectImageFormat(false);
        return QIcon(QPixmap::fromImage(Reader.read()));
    };
    NewD641->setIcon(Icon("new"));
    OpenD641->setIcon(Icon("open"));
    Copy1->setIcon(Icon("copy"));
    Move1->setIcon(Icon("move"));
    Scratch1->setIcon(Icon("scratch"));
    Delete1->setIcon(Icon("delete"));
    DiskPropertiesButton->setIcon(Icon("diskproperties"));
    ViewBAMButton->setIcon(Icon("viewbam"));
    ImportFiles1->setIcon(Icon("import"));

    ToolBar1 = addToolBar("Tools");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFocusPolicy(Qt::NoFocus);
    ToolBar1->addActions({NewD641, OpenD641});
    ToolBar1->addAction(ImportFiles1);
    ToolBar1->addSeparator();
    ToolBar1->addActions({Copy1, Move1, Scratch1, Delete1});
    ToolBar1->addSeparator();
    ToolBar1->addActions({DiskPropertiesButton, ViewBAMButton});

    EmulatorBar = addToolBar("Emulator");
    EmulatorBar->setObjectName("EmulatorBar");
    EmulatorBar->setMovable(false);
    paEmulator = new QLabel("CCS32", EmulatorBar);
    paEmulator->setObjectName("paEmulator");
    paEmulator->setToolTip("Selected Emulator (click to change)");
    paEmulator->setFont(PetsciiText::C64Font(BigGraphicFace));
    paEmulator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    paEmulator->setAlignment(Qt::AlignCenter);
    paEmulator->setFixedSize(80, 22);
    paEmulator->setAutoFillBackground(true);
    // In a tool bar a label would take the bar's button colours.
    paEmulator->setBackgroundRole(QPalette::Window);
    QPalette PanelColours = paEmulator->palette();
    PanelColours.setColor(QPalette::Window, QColor(79, 68, 216));
    PanelColours.setColor(QPalette::WindowText, QColor(163, 151, 255));
    paEmulator->setPalette(PanelColours);
    EmulatorBar->addWidget(paEmulator);
}

void TMainForm::BuildPanes() {
    auto* Client = new QWidget(this);
    auto* Column = new QVBoxLayout(Client);
    Column->setContentsMargins(0, 0, 0, 0);
    Column->setSpacing(0);

    auto* Strip = new QWidget(Client);
    Strip->setFixedHeight(18);
    auto* StripRow = new QHBoxLayout(Strip);
    StripRow->setContentsMargins(0, 0, 0, 0);
    StripRow->setSpacing(0);
    DiskName1 = new QLabel(NoDiskCaption, Strip);
    DiskName2 = new QLabel(NoDiskCaption, Strip);
    for (QLabel* Label : {DiskName1, DiskName2}) {
        Label->setFont(PetsciiText::C64Font(BigGraphicFace));
        Label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        Label->setAutoFillBackground(true);
        Label->setTextFormat(Qt::PlainText);
        Label->setFocusPolicy(Qt::NoFocus);
    }
    DiskName1->setObjectName("DiskName1");
    DiskName2->setObjectName("DiskName2");
    StripRow->addWidget(DiskName1);
    StripRow->addWidget(DiskName2, 1);

    auto* Panes = new QHBoxLayout();
    Panes->setContentsMargins(0, 0, 0, 0);
    Panes->setSpacing(0);
    View1 = new TD64StringGrid(Client);
    View2 = new TD64StringGrid(Client);
    View1->setObjectName("View1");
    View2->setObjectName("View2");
    Panes->addWidget(View1);
    Panes->addWidget(View2, 1);

    Column->addWidget(Strip);
    Column->addLayout(Panes, 1);
    setCentralWidget(Client);

    for (TD64StringGrid* View : {View1, View2}) {
        View->SetPopupMenu(PopupMenu1);
        View->setFocusPolicy(Qt::StrongFocus);
        connect(
            View, &TD64StringGrid::FileDragged, this,
            [this](TD64StringGrid* Sender, const QString& FileName) { View1FileDragged(Sender, FileName); });
        connect(View, &TD64StringGrid::FilesDropped, this,
                [this](TD64StringGrid* Sender, const QStringList& FileNames, bool Shift) {
                    View1FilesDropped(Sender, FileNames, Shift);
                });
        connect(View, &TD64StringGrid::DblClick, this,
                [this](TD64StringGrid* Sender) { View1DblClick(Sender); });
        connect(View, &TD64StringGrid::KeyPressed, this,
                [this](TD64StringGrid* Sender, QChar Key) { View1KeyPress(Sender, Key); });
        connect(View, &TD64StringGrid::NameEdited, this,
                [this](TD64StringGrid* Sender, int Row, const std::string& Name) {
                    View1NameEdited(Sender, Row, Name);
                });
        connect(View, &TD64StringGrid::DragStarting, this,
                [this](TD64StringGrid* Sender, QMimeData* Data) { View1DragStarting(Sender, Data); });
        connect(View, &TD64StringGrid::RowsDropped, this,
                [this](TD64StringGrid* Target, TD64StringGrid* Source, const TIntegerArray& Rows, int Row) {
                    View1RowsDropped(Target, Source, Rows, Row);
                });
    }
    connect(View1, &TD64StringGrid::Entered, this, [this] { View1Enter(); });
    connect(View2, &TD64StringGrid::Entered, this, [this] { View2Enter(); });
    setTabOrder(View1, View2);
}

void TMainForm::BuildStatusBar() {
    QStatusBar* Bar = statusBar();
    Bar->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(Bar);
    StatusPanel1 = new QLabel(Bar);
    for (QLabel* Panel : {StatusPanel0, StatusPanel1}) {
        Panel->setFont(PetsciiText::C64Font(BigGraphicFace));
        Panel->setTextFormat(Qt::PlainText);
        Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    Bar->addWidget(StatusPanel0);
    Bar->addWidget(StatusPanel1, 1);
}

// ---------------------------------------------------------------------------------
// Form events

void TMainForm::FormCreate() {
    Disk1.reset();
    Disk2.reset();
    for (TD64StringGrid* View : {View1, View2}) {
        View->SetRowHeight(0, 13);
        View->SetEmpty(true);
        // Files from the desktop are taken only once the window has been shown.
        View->setAcceptDrops(false);
        View->viewport()->setAcceptDrops(false);
    }
}

void TMainForm::FormShow() {
    Guarded([this] { LoadSettings(); });
    // A setting of the wrong type has been reported above; dropping files must work
    // regardless, so the drop targets are registered in every case.
    for (TD64StringGrid* View : {View1, View2}) {
        View->setAcceptDrops(true);
        View->viewport()->setAcceptDrops(true);
    }
}

void TMainForm::FormClose() {
    Guarded([this] {
        if (!Fonts.RemoveFont(FirstFontFile))
            Prompts.ShowMessage(FontRemoveError);
        else if (!Fonts.RemoveFont(SecondFontFile))
            Prompts.ShowMessage(FontRemoveError);
    });
    // The settings are written whatever happened to the fonts.
    Guarded([this] { SaveSettings(); });
}

void TMainForm::setVisible(bool Visible) {
    // Settings first: a position set before the window exists is taken by Qt and the
    // window manager as the frame's, the position SaveSettings writes. Set later, before
    // the frame is known, it would place the client area there instead.
    if (Visible && !Shown) {
        Shown = true;
        FormShow();
    }
    QMainWindow::setVisible(Visible);
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    FormClose();
    Event->accept();
}

void TMainForm::resizeEvent(QResizeEvent* Event) {
    QMainWindow::resizeEvent(Event);
    Guarded([this] { FormResize(); });
}

void TMainForm::moveEvent(QMoveEvent* Event) {
    QMainWindow::moveEvent(Event);
    // The window manager has framed the window: clamp once more with the real frame.
    if (FrameClampPending && windowState() == Qt::WindowNoState && !FrameMargins().isNull()) {
        FrameClampPending = false;
        Guarded([this] { ApplyBounds(QRect(pos(), size()), true); });
    }
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    switch (Event->type()) {
    case QEvent::KeyRelease: {
        auto* Widget = qobject_cast<QWidget*>(Watched);
        auto* Key = static_cast<QKeyEvent*>(Event);
        if (Widget && Widget->window() == this && !Key->isAutoRepeat()) {
            bool Handled = false;
            Guarded([&] { Handled = FormKeyUp(Key->key(), Key->modifiers()); });
            // A handled window key is taken out of the propagation, so the parent
            // widgets do not see (and act on) the same release again.
            return Handled;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        if (Watched == DiskName1 || Watched == DiskName2 || Watched == paEmulator) {
            auto* Mouse = static_cast<QMouseEvent*>(Event);
            auto* Label = static_cast<QLabel*>(Watched);
            if (Mouse->button() == Qt::LeftButton && Label->rect().contains(Mouse->position().toPoint())) {
                if (Watched == paEmulator)
                    paEmulatorClick();
                else
                    Guarded([&] { Watched == DiskName1 ? DiskName1Click() : DiskName2Click(); });
            }
        }
        break;
    }
    case QEvent::Resize:
        // The viewport is resized after its grid, so its resize carries the new client width.
        if (Watched == View1->viewport() || Watched == View2->viewport())
            Guarded([this] { ApplyColumnWidths(); });
        else if (Watched == statusBar())
            StatusPanel0->setFixedWidth(statusBar()->width() / 2);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

bool TMainForm::FormKeyUp(int Key, Qt::KeyboardModifiers Modifiers) {
    if (Key != Qt::Key_F1 && Key != Qt::Key_F2) return false;
    // Keypad state says nothing about what the user is holding.
    Modifiers &= ~Qt::KeypadModifier;
    if (Modifiers == Qt::AltModifier) {
        const int Side = Key == Qt::Key_F1 ? 1 : 2;
        ViewOf(Side)->SetFocus();
        Guarded([this, Side] { OpenThroughDialog(Side); });
        return true;
    }
    if (Key == Qt::Key_F2) {
        ChangeFontMode(SmallBig1->isChecked() ? BigGraphic1 : SmallBig1);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------
// Sides

std::shared_ptr<TC64Disk>& TMainForm::DiskRef(int Side) {
    return Side == 1 ? Disk1 : Disk2;
}

std::shared_ptr<TC64Disk> TMainForm::Disk(int Side) const {
    return Side == 1 ? Disk1 : Disk2;
}

TD64StringGrid* TMainForm::ViewOf(int Side) const {
    return Side == 1 ? View1 : View2;
}

QLabel* TMainForm::DiskNameLabel(int Side) const {
    return Side == 1 ? DiskName1 : DiskName2;
}

QMenu* TMainForm::SideMenu(int Side) const {
    return Side == 1 ? miLeft : miRight;
}

QAction* TMainForm::DosEmulationItem(int Side, TDosEmulation Emulation) const {
    return DosEmu[Side == 1 ? 0 : 1][Emulation];
}

QAction* TMainForm::SoftWriteItem(int Side) const {
    return SoftWrite[Side == 1 ? 0 : 1];
}

QString TMainForm::StatusText(int Side) const {
    return (Side == 1 ? StatusPanel0 : StatusPanel1)->text();
}

QString TMainForm::PaneFace() const {
    return View1->FaceName();
}

void TMainForm::SetStatus(int Side, const QString& Text) {
    (Side == 1 ? StatusPanel0 : StatusPanel1)->setText(Text);
}

int TMainForm::ActiveSide() const {
    // The window's focus child, which stays put while a menu or dialog is open; the
    // focus set in a grid while the window is inactive shows only once it is active.
    const QWidget* Focused = focusWidget();
    for (int Side : {1, 2})
        if (Focused && (Focused == ViewOf(Side) || ViewOf(Side)->isAncestorOf(Focused))) return Side;
    return HighlightedSide;
}

void TMainForm::SetCaptionFor(int Side) {
    const std::shared_ptr<TC64Disk>& SideDisk = DiskRef(Side);
    if (SideDisk)
        setWindowTitle(FromLocalPath(SideDisk->FileName()) + " - " + AppCaption);
    else
        setWindowTitle(AppCaption);
}

void TMainForm::ShowFocus(int Side) {
    // The caption colours of the grids' selections, so both read alike and stay readable.
    auto Paint = [](QLabel* Label, const GridColors::TCellColors& Colours) {
        QPalette Palette = Label->palette();
        Palette.setColor(QPalette::Window, Colours.Background);
        Palette.setColor(QPalette::WindowText, Colours.Text);
        Label->setPalette(Palette);
    };
    Paint(DiskNameLabel(Side == 1 ? 2 : 1), GridColors::InactiveCaption(palette()));
    Paint(DiskNameLabel(Side), GridColors::ActiveCaption(palette()));
    HighlightedSide = Side;
    SetCaptionFor(Side);
}

void TMainForm::ActivateLeft() {
    ShowFocus(1);
}

void TMainForm::ActivateRight() {
    ShowFocus(2);
}

void TMainForm::View1Enter() {
    Guarded([this] { ActivateLeft(); });
}

void TMainForm::View2Enter() {
    Guarded([this] { ActivateRight(); });
}

void TMainForm::DiskName1Click() {
    View1->SetFocus();
}

void TMainForm::DiskName2Click() {
    View2->SetFocus();
}

// ---------------------------------------------------------------------------------
// Opening, closing, listing

void TMainForm::OpenD641Click() {
    Guarded([this] { OpenThroughDialog(ActiveSide()); });
}

void TMainForm::OpenThroughDialog(int Side) {
    QString InitialDir;
    if (const std::shared_ptr<TC64Disk>& SideDisk = DiskRef(Side))
        InitialDir = FolderOf(SideDisk->FileName());
    const QString FileName = Prompts.GetOpenFileName(this, InitialDir, OpenFilter);
    if (FileName.isEmpty()) return;
    OpenChosenFile(Side, FileName);
}

void TMainForm::OpenImage(int Side, const QString& FileName) {
    ViewOf(Side)->SetFocus();
    Guarded([&] { OpenChosenFile(Side, FileName); });
}

void TMainForm::OpenChosenFile(int Side, const QString& FileName) {
    TD64StringGrid* View = ViewOf(Side);
    try {
        View->SetEmpty(true);
        OpenDisk(Side, FileName);
        View->SetRowSelected(1, true);
    } catch (...) {
        RefreshSide(Side);
        throw;
    }
}

void TMainForm::View1FileDragged(TD64StringGrid* Sender, const QString& FileName) {
    Guarded([&] {
        const int Side = Sender == View1 ? 1 : 2;
        try {
            OpenDisk(Side, FileName);
        } catch (...) {
            RefreshSide(Side);
            throw;
        }
    });
}

void TMainForm::OpenDisk(int Side, const QString& FileName) {
    std::shared_ptr<TC64Disk>& SideDisk = DiskRef(Side);
    SideDisk.reset();
    SideMenu(Side)->setEnabled(false);

    const std::string Path = ToLocalPath(FileName);
    // One file, one object: a second object over the same file would write its own
    // copy of the image back and undo the other pane's changes.
    const std::shared_ptr<TC64Disk>& Other = DiskRef(Side == 1 ? 2 : 1);
    std::error_code Error;
    if (Other && std::filesystem::equivalent(Other->FileName(), Path, Error))
        SideDisk = Other;
    else
        SideDisk = TC64Disk::OpenDiskImage(Path, deCbmDos);

    if (SideDisk) SideMenu(Side)->setEnabled(true);
    RefreshSide(Side);
}

void TMainForm::CloseD641Click() {
    Guarded([this] { CloseDisk(ActiveSide()); });
}

void TMainForm::CloseDisk(int Side) {
    DiskRef(Side).reset();
    RefreshSide(Side);
}

void TMainForm::Close1Click() {
    close();
}

void TMainForm::RefreshSide(int Side) {
    const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
    TD64StringGrid* View = ViewOf(Side);
    View->SetEmpty(true);
    ListingSide = Side;

    if (SideDisk) {
        SetStatus(Side, "READING DISK - PLEASE WAIT");
        statusBar()->repaint();

        QString Status;
        try {
            const int FreeBlocks = SideDisk->GetFreeBlocks();
            const int Listed = SideDisk->ReadDirectory(
                TFileKindSet::AllListed(), [this](const TC64DirRecord& Record) { AddDirEntry(Record); });
            Status = QString::asprintf("%u BLOCKS FREE - %u FILE(S) ON DISK",
                                       static_cast<unsigned>(FreeBlocks), static_cast<unsigned>(Listed));
            Status += DamageNote(*SideDisk);
        } catch (const EC64DiskException& Error) {
            Prompts.ShowWarning("This disk may be damaged!\r\n" + QString::fromStdString(Error.what()));
        }

        SetCaptionFor(Side);
        View->SetFocus();
        DiskNameLabel(Side)->setText(PetsciiText::ToDisplay(SideDisk->GetHeaderLine()));
        SetStatus(Side, Status);
        SideDisk->IgnoreSoftWriteProtection = SoftWriteItem(Side)->isChecked();
        const int Emulation = SideDisk->DosEmulation();
        if (Emulation >= deCbmDos && Emulation <= dePrologicDos)
            DosEmulationItem(Side, static_cast<TDosEmulation>(Emulation))->setChecked(true);
    } else {
        setWindowTitle(AppCaption);
        View->SetFocus();
        DiskNameLabel(Side)->setText(NoDiskCaption);
        SetStatus(Side, QString());
        SideMenu(Side)->setEnabled(false);
    }
    FormResize();
    WatchShownFiles();
    UpdateUndoItems();
}

void TMainForm::RefreshChangedSide(int Side) {
    const int OtherSide = Side == 1 ? 2 : 1;
    if (DiskRef(Side) && DiskRef(Side) == DiskRef(OtherSide)) RefreshSide(OtherSide);
    RefreshSide(Side);
}

void TMainForm::AddDirEntry(const TC64DirRecord& Record) {
    TD64StringGrid* View = ViewOf(ListingSide);
    int Row;
    if (View->Empty()) {
        View->SetEmpty(false);
        Row = View->RowCount() - 1;
    } else {
        Row = View->RowCount();
    }
    View->SetRowCount(Row + 1);
    View->SetRowEntry(Row, Record.Entry);
    const TListingRow Cells = FormatListingRow(Record);
    for (int Col = 0; Col < 4; ++Col)
        View->SetCell(Col, Row, Cells[Col]);
}

// ---------------------------------------------------------------------------------
// Side menu items

void TMainForm::SwitchDosEmu(QAction* Item) {
    Guarded([this, Item] {
        const int Tag = Item->data().toInt();
        const int Side = Tag > 10 ? 2 : 1;
        const auto Emulation = static_cast<TDosEmulation>(Tag > 10 ? Tag - 11 : Tag - 1);
        // The action group has already moved the check mark when the item was
        // triggered; whether this is a new choice is read from the disk itself.
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        const bool WasChecked = SideDisk && SideDisk->DosEmulation() == Emulation;
        Item->setChecked(true);
        if (SideDisk) {
            try {
                SideDisk->SetDosEmulation(Emulation);
            } catch (const EC64DiskException& Error) {
                Prompts.ShowMessage(QString::fromStdString(Error.what()));
            }
        }
        if (!WasChecked) RefreshChangedSide(Side);
    });
}

void TMainForm::SetSoftWrite(QAction* Item) {
    Guarded([this, Item] {
        const int Side = Item->data().toInt() == 0 ? 1 : 2;
        // The item is checkable, so triggering it has already inverted its check.
        if (const std::shared_ptr<TC64Disk>& SideDisk = DiskRef(Side))
            SideDisk->IgnoreSoftWriteProtection = Item->isChecked();
    });
}

// ---------------------------------------------------------------------------------
// Font mode, help, resizing

void TMainForm::ChangeFontMode(QAction* Item) {
    Guarded([this, Item] {
        Item->setChecked(true);
        const QString Face = SmallBig1->isChecked() ? SmallBigFace : BigGraphicFace;
        View1->SetFaceName(Face);
        DiskName1->setFont(PetsciiText::C64Font(Face));
        View2->SetFaceName(Face);
        DiskName2->setFont(PetsciiText::C64Font(Face));
        View1->viewport()->repaint();
        View2->viewport()->repaint();
    });
}

void TMainForm::ShortcutsClick() {
    Guarded([this] { Prompts.ShowMessage(ShortcutsText); });
}

void TMainForm::FormResize() {
    const int Half = width() / 2;
    View1->setFixedWidth(Half);
    DiskName1->setFixedWidth(Half);
    // Settle the layout now so the grids' client widths are the new ones.
    if (QLayout* Layout = centralWidget()->layout()) Layout->activate();
    ApplyColumnWidths();
    StatusPanel0->setFixedWidth(statusBar()->width() / 2);
}

void TMainForm::ApplyColumnWidths() {
    const std::array<int, 4> Left = ListingColumnWidths(View1->ClientWidth());
    const std::array<int, 4> Right =
        View2->ClientWidth() == View1->ClientWidth() ? Left : ListingColumnWidths(View2->ClientWidth());
    for (int Col = 0; Col < 4; ++Col) {
        View1->SetColWidth(Col, Left[Col]);
        View2->SetColWidth(Col, Right[Col]);
    }
}
