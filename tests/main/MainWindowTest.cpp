// The main window as a user sees it: listing, opening and closing, window keys, side
// menu items, font mode, resizing and the settings it reads and writes. Images are
// built in each test with the engine; prompts and settings are test doubles.
#include "BAMDlg.h"
#include "BamView.h"
#include "D64StringGrid.h"
#include "FontInstaller.h"
#include "GridColors.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "PetsciiText.h"
#include "ScriptedPrompts.h"
#include "WindowGeometry.h"
#include "c64disk.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {

// Records removals; each file name can be set to fail.
class FakeFontInstaller : public IFontInstaller {
  public:
    QStringList Failing;
    QStringList Removed;
    bool AddFont(const QString&) override { return true; }
    bool RemoveFont(const QString& FileName) override {
        Removed << FileName;
        return !Failing.contains(FileName);
    }
};

struct TFileSpec {
    PetsciiString Name;
    uint8_t Type; // raw type byte: kind in bits 0-2, locked bit 6, closed bit 7
    uint8_t Track;
    uint8_t Sector;
    int Blocks;
};

// Writes a directory entry straight into the image; the listing needs nothing else.
void AddEntry(TC64Disk& Disk, const TFileSpec& File) {
    uint8_t* Entry = Disk.AllocateDirEntry();
    QVERIFY(Entry);
    Entry[2] = File.Type;
    Entry[3] = File.Track;
    Entry[4] = File.Sector;
    StringToPetscii(File.Name, Entry + 5, 15);
    Entry[30] = static_cast<uint8_t>(File.Blocks & 0xFF);
    Entry[31] = static_cast<uint8_t>(File.Blocks >> 8);
}

QString MakeImage(const QString& Path, const std::vector<TFileSpec>& Files = {}, TDiskType Type = dt35Tracks,
                  TDosEmulation Emulation = deCbmDos) {
    std::unique_ptr<TC64Disk> Disk =
        TC64Disk::CreateDiskImage(QFile::encodeName(Path).toStdString(), Type, Emulation);
    Disk->SetDiskName("TESTDISK");
    Disk->SetDiskID("AB");
    for (const TFileSpec& File : Files)
        AddEntry(*Disk, File);
    Disk->Save();
    return Path;
}

QString Cell(TD64StringGrid* View, int Col, int Row) {
    return QString::fromLatin1(View->Cell(Col, Row));
}

// The two colours of text drawn on a plain background inside Area: the most frequent
// colour (the background) and the next one (the text, drawn without antialiasing).
std::pair<QColor, QColor> BackAndText(const QImage& Image, const QRect& Area) {
    QMap<QRgb, int> Count;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X)
            ++Count[Image.pixel(X, Y)];
    QList<QRgb> ByCount = Count.keys();
    std::sort(ByCount.begin(), ByCount.end(), [&](QRgb A, QRgb B) { return Count[A] > Count[B]; });
    return {QColor(ByCount.value(0)), QColor(ByCount.value(1))};
}

QString Header(const std::shared_ptr<TC64Disk>& Disk) {
    return PetsciiText::ToDisplay(Disk->GetHeaderLine());
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    std::unique_ptr<ScriptedPrompts> Prompts;
    std::unique_ptr<MemorySettingsStore> Store;
    std::unique_ptr<FakeFontInstaller> Fonts;
    std::unique_ptr<TMainForm> Form;

    QString PathOf(const QString& Name) const { return Dir.filePath(Name); }

    // Under a window manager the frame arrives after the window is shown: wait for its
    // title bar. Qt's offscreen platform draws no frames.
    void WaitForFrame() {
        if (QGuiApplication::platformName() == "xcb")
            QTRY_VERIFY(Form->frameGeometry().top() < Form->geometry().top());
    }

    void ShowForm() {
        Form = std::make_unique<TMainForm>(*Prompts, *Store, *Fonts);
        Form->show();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
    }

    QAction* Item(const QString& Caption, int Tag = -1) const {
        for (QAction* Action : Form->findChildren<QAction*>())
            if (Action->text() == Caption && (Tag < 0 || Action->data().toInt() == Tag)) return Action;
        return nullptr;
    }

    // Opens through the dialog with the given grid focused.
    void OpenOn(int Side, const QString& Path) {
        TD64StringGrid* View = Side == 1 ? Form->LeftView() : Form->RightView();
        View->SetFocus();
        Prompts->OpenFileNames.push_back(Path);
        Form->OpenD641Click();
    }

    QString StatusFor(const std::shared_ptr<TC64Disk>& Disk, int Files) const {
        return QString("%1 BLOCKS FREE - %2 FILE(S) ON DISK").arg(Disk->GetFreeBlocks()).arg(Files);
    }

  private slots:
    void init() {
        QVERIFY(Dir.isValid());
        Prompts = std::make_unique<ScriptedPrompts>();
        Store = std::make_unique<MemorySettingsStore>();
        Fonts = std::make_unique<FakeFontInstaller>();
    }

    void cleanup() { Form.reset(); }

    void startsWithEmptyPanes() {
        ShowForm();
        QCOMPARE(Form->windowTitle(), QString("Kobaltmandrexis 0.2"));
        QCOMPARE(Form->size(), QSize(MinWindowWidth, MinWindowHeight));
        for (int Side : {1, 2}) {
            QCOMPARE(Form->DiskNameLabel(Side)->text(), QString("NO DISK"));
            QVERIFY(!Form->SideMenu(Side)->isEnabled());
            QVERIFY(!Form->Disk(Side));
            QCOMPARE(Form->StatusText(Side), QString());
        }
        QVERIFY(Form->LeftView()->Empty());
        QCOMPARE(Form->LeftView()->RowHeight(0), 13);
        QCOMPARE(Form->EmulatorPanel()->toolTip(), QString("Selected Emulator (click to change)"));
        // Files from the desktop are accepted once the window is shown.
        QVERIFY(Form->LeftView()->viewport()->acceptDrops());
        QVERIFY(Form->RightView()->viewport()->acceptDrops());
    }

    void commandTableCaptionsAndShortcuts() {
        ShowForm();
        const QList<QPair<QString, QString>> Shortcuts = {
            {"&New D64...", "Ctrl+N"}, {"&Open D64...", "Ctrl+O"}, {"&Copy", "F5"},
            {"&Move", "F6"},           {"&Scratch", "Del"},        {"&Delete", "Shift+Del"},
            {"&Rename", "F9"},         {"&Properties", "F7"},      {"&Select All", "Ctrl+A"},
            {"&Run", "Ctrl+R"},        {"&Boot Disk", "Ctrl+B"},   {"&CCS64 Win32", "Ctrl+C"},
            {"WinVice", "Ctrl+V"},     {"&Frodo", "Ctrl+F"},       {"&Shortcuts", "F1"}};
        for (const auto& [Caption, Keys] : Shortcuts) {
            QAction* Action = Item(Caption);
            QVERIFY2(Action, qPrintable(Caption));
            QCOMPARE(Action->shortcut(), QKeySequence(Keys));
        }
        // Commands of later features are present but inert.
        for (const char* Caption : {"&Settings", "&Frodo"})
            QVERIFY2(!Item(Caption)->isEnabled(), Caption);
        for (const char* Caption :
             {"&New D64...",       "&Open D64...", "Close D&64",       "&Copy",          "&Move",
              "&Scratch",          "&Delete",      "&Rename",          "&Export to PRG", "Export &File",
              "Export &Selection", "Export &All",  "&Properties",      "&Select All",    "C&lose",
              "&Shortcuts",        "&Run",         "&Boot Disk",       "&CCS64 Win32",   "WinVice",
              "&Options",          "&About",       "&Disk Properties", "&View BAM"})
            QVERIFY2(Item(Caption)->isEnabled(), Caption);
        QVERIFY(!Item("&Prologic Dos", 4)->isEnabled());
        QVERIFY(!Item("&Prologic Dos", 14)->isEnabled());
    }

    // No two items of one menu (the menu bar counting as one) share an accelerator, tool
    // buttons take none, and Alt+M opens the Emulation menu rather than Edit.
    void acceleratorsAreDistinctPerMenu() {
        ShowForm();
        QStringList Titles;
        for (QAction* Title : Form->menuBar()->actions())
            Titles << Title->text();
        QCOMPARE(Titles, (QStringList{"&File", "&Edit", "&View", "&Left", "&Right", "E&mulation", "&Options",
                                      "&Help"}));
        QList<QWidget*> Menus = {Form->menuBar()};
        for (QMenu* Menu : Form->findChildren<QMenu*>())
            Menus << Menu;
        for (QWidget* Menu : Menus) {
            QMap<QString, QString> Taken;
            for (QAction* Action : Menu->actions()) {
                const QString Key = QKeySequence::mnemonic(Action->text()).toString();
                if (Key.isEmpty()) continue;
                QVERIFY2(!Taken.contains(Key), qPrintable(Taken[Key] + " and " + Action->text()));
                Taken[Key] = Action->text();
            }
        }
        QStringList Hints;
        for (QToolButton* Button : Form->findChild<QToolBar*>("ToolBar1")->findChildren<QToolButton*>()) {
            QVERIFY2(QKeySequence::mnemonic(Button->text()).isEmpty(), qPrintable(Button->text()));
            if (Button->isVisible()) Hints << Button->toolTip();
        }
        QCOMPARE(Hints, (QStringList{"Create New Disk", "Open Disk", "Import Files", "Copy Selected File(s)",
                                     "Move Selected File(s)", "Scratch Selected File(s)",
                                     "Delete Selected File(s)", "Edit Disk Properties", "View BAM"}));

        QTest::keyClick(Form.get(), Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        auto* Open = static_cast<QMenu*>(QApplication::activePopupWidget());
        QCOMPARE(Open->title(), QString("E&mulation"));
        Open->close();
    }

    // A 1581 image opens through the dialog, lists as a 1541 image does and shows its BAM.
    void d81OpensAndListsInThePane() {
        const QString Path = PathOf("disk.d81");
        {
            auto Made = TC64Disk::CreateDiskImage(Path.toStdString(), dtD81, deCbmDos);
            uint8_t Entry[32] = {0, 0, 0x82};
            StringToPetscii("GAME", Entry + 5, 15);
            Entry[30] = 3;
            Made->AddFile(ByteArray(600, 7), Entry);
        }
        ShowForm();
        OpenOn(1, Path);
        const std::shared_ptr<TC64Disk> Disk = Form->Disk(1);
        QVERIFY(Disk);
        QCOMPARE(Disk->GetTrackCount(), 80);
        QCOMPARE(Form->LeftView()->RowCount(), 2);
        QCOMPARE(Cell(Form->LeftView(), 1, 1), QString("\"GAME\"").leftJustified(18, ' '));
        QCOMPARE(Cell(Form->LeftView(), 3, 1), QString("39/ 0"));
        QVERIFY(Form->StatusText(1).startsWith("3157 BLOCKS FREE - 1 FILE(S) ON DISK"));
        QVERIFY(Prompts->Messages().isEmpty());
        // Its BAM chart: the file's three blocks used and owned by it.
        QStringList Owners;
        QTimer::singleShot(0, [&] {
            auto* Dialog = qobject_cast<TBAMDlg*>(QApplication::activeModalWidget());
            QVERIFY(Dialog);
            for (int Sector = 0; Sector < 4; ++Sector)
                if (const TBamRecord* Block = Dialog->BamView1->Record(MakeTrackSector(39, Sector)))
                    Owners << QString::fromStdString(Block->Owner) + (Block->Used ? "*" : "");
            Dialog->reject();
        });
        Form->ViewBAMClick(nullptr);
        QCOMPARE(Owners, (QStringList{"GAME.PRG*", "GAME.PRG*", "GAME.PRG*", ""}));
        QVERIFY(Prompts->Messages().isEmpty());
    }

    void listingShowsRowsHeaderAndStatus() {
        const QString Path = MakeImage(PathOf("files.d64"), {
                                                                {"ABCDEFGHIJKLMNOP", 0x82, 17, 10, 3},
                                                                {"X", 0x42, 1, 0, 1},
                                                                {"DATA", 0x81, 19, 2, 120},
                                                                {"ODD", 0x87, 20, 5, 0},
                                                                {"OTHER", 0x85, 20, 6, 2},
                                                            });
        ShowForm();
        OpenOn(1, Path);

        TD64StringGrid* View = Form->LeftView();
        const std::shared_ptr<TC64Disk> Disk = Form->Disk(1);
        QVERIFY(Disk);
        QVERIFY(!View->Empty());
        QCOMPARE(View->RowCount(), 6);

        // A 16-character name fills the 18-character cell with its quotes.
        QCOMPARE(Cell(View, 0, 1), QString("3"));
        QCOMPARE(Cell(View, 1, 1), QString("\"ABCDEFGHIJKLMNOP\""));
        QCOMPARE(Cell(View, 2, 1), QString("PRG"));
        QCOMPARE(Cell(View, 3, 1), QString("17/10"));
        // Locked and not closed; short names are padded, small numbers right-aligned.
        QCOMPARE(Cell(View, 1, 2), QString("\"X\"").leftJustified(18, ' '));
        QCOMPARE(Cell(View, 2, 2), QString("PRG<*"));
        QCOMPARE(Cell(View, 3, 2), QString(" 1/ 0"));
        QCOMPARE(Cell(View, 0, 3), QString("120"));
        QCOMPARE(Cell(View, 2, 3), QString("SEQ"));
        QCOMPARE(Cell(View, 3, 3), QString("19/ 2"));
        QCOMPARE(Cell(View, 2, 4), QString("?"));
        QCOMPARE(Cell(View, 2, 5), QString("CBM"));

        // Each row names its entry inside the disk's buffer.
        QCOMPARE(View->GetRowEntry(2)[5], uint8_t('X'));
        QCOMPARE(View->GetRowEntry(3)[5], uint8_t('D'));

        // The disk's BAM is not traced from its entries: a damage note follows.
        QVERIFY(Form->StatusText(1).startsWith(StatusFor(Disk, 5) + " - "));
        QCOMPARE(Form->DiskNameLabel(1)->text(), Header(Disk));
        QVERIFY(Form->DiskNameLabel(1)->text().contains("TESTDISK"));
        QCOMPARE(Form->windowTitle(), Path + " - Kobaltmandrexis 0.2");
        QVERIFY(Form->SideMenu(1)->isEnabled());
        QCOMPARE(Form->ActiveSide(), 1);
        // The right side is untouched.
        QCOMPARE(Form->DiskNameLabel(2)->text(), QString("NO DISK"));

        // The dialog got the filter, and the second time the folder of the open disk.
        OpenOn(1, QString());
        QCOMPARE(Prompts->Shown.size(), 2);
        QCOMPARE(Prompts->Shown[0].Kind, ScriptedPrompts::TKind::OpenFile);
        QCOMPARE(Prompts->Shown[0].Filter,
                 QString("C64 Diskimage (*.d64 *.d71 *.d81)|*.d64;*.d71;*.d81|All Files (*.*)|*.*"));
        QCOMPARE(Prompts->Shown[0].Path, QString());
        QCOMPARE(Prompts->Shown[1].Path, Dir.path() + "/");
        // Cancelling leaves the side as it was.
        QCOMPARE(Form->Disk(1), Disk);
        QVERIFY(Prompts->Unexpected.isEmpty());
    }

    void emptyImageAndClosing() {
        const QString Path = MakeImage(PathOf("empty.d64"));
        ShowForm();
        OpenOn(2, Path);

        TD64StringGrid* View = Form->RightView();
        QVERIFY(View->Empty());
        QCOMPARE(View->RowCount(), 2);
        QCOMPARE(Form->StatusText(2), QString("664 BLOCKS FREE - 0 FILE(S) ON DISK"));
        // The dialog path selects row 1 even when it shows no file.
        QVERIFY(View->IsRowSelected(1));
        QCOMPARE(Form->windowTitle(), Path + " - Kobaltmandrexis 0.2");

        Item("Close D&64")->trigger();
        QVERIFY(!Form->Disk(2));
        QCOMPARE(Form->DiskNameLabel(2)->text(), QString("NO DISK"));
        QCOMPARE(Form->StatusText(2), QString());
        QVERIFY(!Form->SideMenu(2)->isEnabled());
        QCOMPARE(Form->windowTitle(), QString("Kobaltmandrexis 0.2"));
        QVERIFY(Prompts->Shown.size() == 1 && Prompts->Unexpected.isEmpty());
    }

    void unusableFilesLeaveTheSideEmpty() {
        const QString Good = MakeImage(PathOf("good.d64"));
        QFile G64(PathOf("disk.g64"));
        QVERIFY(G64.open(QIODevice::WriteOnly));
        G64.write(QByteArray("GCR-1541") + QByteArray(992, '\0'));
        G64.close();
        QFile Junk(PathOf("junk.d64"));
        QVERIFY(Junk.open(QIODevice::WriteOnly));
        Junk.write(QByteArray(1000, 'x'));
        Junk.close();

        ShowForm();
        OpenOn(1, Good);
        OpenOn(2, Good);
        OpenOn(2, G64.fileName());
        QCOMPARE(Prompts->Messages(), QStringList{"G64 disks not supported yet!"});
        QVERIFY(!Form->Disk(2));
        QCOMPARE(Form->DiskNameLabel(2)->text(), QString("NO DISK"));
        QVERIFY(!Form->SideMenu(2)->isEnabled());

        OpenOn(2, Junk.fileName());
        QCOMPARE(Prompts->Errors(), QStringList{"Unknown diskformat!"});
        QVERIFY(!Form->Disk(2));
        QCOMPARE(Form->DiskNameLabel(2)->text(), QString("NO DISK"));

        OpenOn(2, PathOf("missing.d64"));
        QCOMPARE(Prompts->Errors().size(), 2);
        QCOMPARE(Prompts->Errors().last(), QString("Can't find specified diskimage!"));

        // The left side keeps its disk throughout.
        QVERIFY(Form->Disk(1));
        QCOMPARE(Form->StatusText(1), QString("664 BLOCKS FREE - 0 FILE(S) ON DISK"));
    }

    void damagedDirectoryKeepsPartialListing() {
        const QString Path =
            MakeImage(PathOf("damaged.d64"), {{"FIRST", 0x82, 17, 0, 1}, {"SECOND", 0x82, 17, 1, 1}});
        {
            // Point the first directory sector's link at a track the disk does not have.
            std::unique_ptr<TC64Disk> Disk =
                TC64Disk::OpenDiskImage(QFile::encodeName(Path).toStdString(), deCbmDos);
            uint8_t* Sector = Disk->GetSector(MakeTrackSector(18, 1));
            Sector[0] = 41;
            Sector[1] = 0;
            Disk->Save();
        }
        ShowForm();
        OpenOn(1, Path);

        QCOMPARE(Prompts->Warnings(),
                 QStringList{"This disk may be damaged!\r\n" +
                             QString("Illegal Track/Sector value T:%1/S:%2").arg(41).arg(0)});
        QCOMPARE(Form->LeftView()->RowCount(), 3);
        QCOMPARE(Cell(Form->LeftView(), 1, 2), QString("\"SECOND\"").leftJustified(18, ' '));
        QCOMPARE(Form->StatusText(1), QString());
        QVERIFY(Form->Disk(1));
        QVERIFY(Form->SideMenu(1)->isEnabled());
        QCOMPARE(Form->DiskNameLabel(1)->text(), Header(Form->Disk(1)));
        QVERIFY(Prompts->Errors().isEmpty());
    }

    void fileDroppedOnAGridOpensThere() {
        const QString Path = MakeImage(PathOf("dropped.d64"), {{"ONE", 0x82, 17, 0, 1}});
        ShowForm();
        emit Form->RightView()->FileDragged(Form->RightView(), Path);
        QVERIFY(Form->Disk(2));
        QVERIFY(!Form->Disk(1));
        QCOMPARE(Cell(Form->RightView(), 1, 1), QString("\"ONE\"").leftJustified(18, ' '));

        // A failing drop is reported and leaves the side empty.
        emit Form->RightView()->FileDragged(Form->RightView(), PathOf("nothing.d64"));
        QCOMPARE(Prompts->Errors(), QStringList{"Can't find specified diskimage!"});
        QVERIFY(!Form->Disk(2));
        QCOMPARE(Form->DiskNameLabel(2)->text(), QString("NO DISK"));
    }

    void windowKeysOpenAndSwitchFontMode() {
        const QString Path = MakeImage(PathOf("keys.d64"), {{"ONE", 0x82, 17, 0, 1}});
        ShowForm();
        QAction* SmallBig = Item("&Small / Big");
        QAction* BigGraphic = Item("&Big / Graphic");
        QVERIFY(BigGraphic->isChecked());

        // Alt+F2 opens on the right without touching the font mode.
        Form->LeftView()->SetFocus();
        Prompts->OpenFileNames.push_back(Path);
        QTest::keyClick(Form->LeftView(), Qt::Key_F2, Qt::AltModifier);
        QVERIFY(Form->Disk(2));
        QVERIFY(!Form->Disk(1));
        QCOMPARE(Form->ActiveSide(), 2);
        QVERIFY(BigGraphic->isChecked());
        QCOMPARE(Form->PaneFace(), QString("CBM64 Big/Graphic"));

        // Alt+F1 opens on the left.
        Prompts->OpenFileNames.push_back(Path);
        QTest::keyClick(Form->RightView(), Qt::Key_F1, Qt::AltModifier);
        QVERIFY(Form->Disk(1));
        QCOMPARE(Form->ActiveSide(), 1);

        // F2 alone, Ctrl+F2 and Shift+F2 each switch the mode.
        QTest::keyClick(Form->LeftView(), Qt::Key_F2);
        QVERIFY(SmallBig->isChecked() && !BigGraphic->isChecked());
        QCOMPARE(Form->PaneFace(), QString("CBM64 Small/Big"));
        QCOMPARE(Form->RightView()->FaceName(), QString("CBM64 Small/Big"));
        QCOMPARE(Form->DiskNameLabel(1)->font().family(), QString("CBM64 Small/Big"));
        QCOMPARE(Form->DiskNameLabel(2)->font().family(), QString("CBM64 Small/Big"));
        QTest::keyClick(Form->LeftView(), Qt::Key_F2, Qt::ControlModifier);
        QVERIFY(BigGraphic->isChecked());
        QCOMPARE(Form->PaneFace(), QString("CBM64 Big/Graphic"));
        QTest::keyClick(Form->RightView(), Qt::Key_F2, Qt::ShiftModifier);
        QVERIFY(SmallBig->isChecked());
        // Alt with another modifier is not the opening key: F2 switches the mode.
        QTest::keyClick(Form->RightView(), Qt::Key_F2, Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(BigGraphic->isChecked());
        QTest::keyClick(Form->RightView(), Qt::Key_F2);
        QVERIFY(SmallBig->isChecked());
        // Status bar and emulator panel keep the default face.
        QCOMPARE(Form->statusBar()->findChildren<QLabel*>().first()->font().family(),
                 QString("CBM64 Big/Graphic"));
        QCOMPARE(Form->EmulatorPanel()->font().family(), QString("CBM64 Big/Graphic"));
        QCOMPARE(Form->DiskNameLabel(1)->font().pixelSize(), 8);

        // Choosing the checked item again keeps the mode.
        SmallBig->trigger();
        QVERIFY(SmallBig->isChecked());
        QCOMPARE(Form->PaneFace(), QString("CBM64 Small/Big"));
        QVERIFY(Prompts->Unexpected.isEmpty());
        QVERIFY(Prompts->Errors().isEmpty());
    }

    void focusMovesByTabAndDiskNameClicks() {
        const QString Left = MakeImage(PathOf("left.d64"));
        ShowForm();
        OpenOn(1, Left);
        QCOMPARE(Form->ActiveSide(), 1);
        QTest::keyClick(Form->LeftView(), Qt::Key_Tab);
        QVERIFY(Form->RightView()->hasFocus());
        QCOMPARE(Form->ActiveSide(), 2);
        // The caption follows the focused side.
        QCOMPARE(Form->windowTitle(), QString("Kobaltmandrexis 0.2"));
        QTest::keyClick(Form->RightView(), Qt::Key_Tab);
        QCOMPARE(Form->ActiveSide(), 1);
        QCOMPARE(Form->windowTitle(), Left + " - Kobaltmandrexis 0.2");

        QTest::mouseClick(Form->DiskNameLabel(1), Qt::LeftButton);
        QVERIFY(Form->LeftView()->hasFocus());
        QTest::mouseClick(Form->DiskNameLabel(2), Qt::LeftButton);
        QVERIFY(Form->RightView()->hasFocus());

        // A menu opened and closed with Esc leaves the focus in the menu bar: the
        // commands still act on the highlighted side.
        QTest::mouseClick(Form->DiskNameLabel(1), Qt::LeftButton);
        QMenuBar* Bar = Form->menuBar();
        QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->actionGeometry(Bar->actions().first()).center());
        QVERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QCOMPARE(Form->ActiveSide(), 1);
    }

    // The unfocused side's disk name is drawn in the colours of the unfocused grid's
    // selection, and its text reads well, in the default palette and in a dark one.
    void inactiveSideReadsLikeItsSelection_data() {
        QTest::addColumn<QPalette>("Palette");
        QTest::newRow("default") << QApplication::palette();
        QPalette Dark(QColor(53, 53, 53));
        Dark.setColor(QPalette::WindowText, Qt::white);
        Dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
        Dark.setColor(QPalette::HighlightedText, Qt::black);
        QTest::newRow("dark") << Dark;
    }
    void inactiveSideReadsLikeItsSelection() {
        QFETCH(QPalette, Palette);
        const QPalette Before = QApplication::palette();
        QApplication::setPalette(Palette);
        const QString Path = MakeImage(PathOf("colours.d64"), {{"ONE", 0x82, 17, 0, 1}});
        ShowForm();
        OpenOn(1, Path);
        Form->RightView()->SetFocus();
        QLabel* Name = Form->DiskNameLabel(1);
        const auto [Back, Text] = BackAndText(Name->grab().toImage(), Name->contentsRect());
        TD64StringGrid* View = Form->LeftView();
        // Inside the name cell of row 1, within the current row's dotted frame.
        const QRect Cell(View->ColWidth(0) + 2, View->RowHeight(0) + 1, View->ColWidth(1) - 2,
                         View->RowHeight(1) - 2);
        const auto [RowBack, RowText] = BackAndText(View->viewport()->grab().toImage(), Cell);
        QApplication::setPalette(Before);
        QCOMPARE(Back, RowBack);
        QCOMPARE(Text, RowText);
        QVERIFY2(GridColors::ContrastRatio(Back, Text) >= 4.5, qPrintable(Back.name() + " / " + Text.name()));
    }

    void shortcutsTextOnF1() {
        ShowForm();
        Form->LeftView()->SetFocus();
        QTest::keyClick(Form->LeftView(), Qt::Key_F1);
        QCOMPARE(Prompts->Messages().size(), 1);
        const QString Text = Prompts->Messages().first();
        QVERIFY(Text.startsWith("Shortcuts for Kobaltmandrexis:\r\n\r\nCTRL-A       :  select all\r\n"));
        QVERIFY(Text.contains("\r\nF2               :  switch between fontmode 1 && 2\r\n"));
        QVERIFY(Text.contains("\r\nF3               :  view file\r\n"));
        QVERIFY(Text.contains("\r\nSHIFT-DEL  :  delete selected file(s)\r\n"));
        QVERIFY(Text.contains("\r\nCTRL-V       :  select WinVice\r\nCTRL-E       :  select VICE\r\n"));
        QVERIFY(
            Text.endsWith("\r\nF9               :  rename file in place\r\nCTRL-SHIFT-R :  reload disks"));
        QCOMPARE(Text.count("\r\n"), 25);
        QVERIFY(Text.contains(
            "\r\nCTRL-Z       :  undo the last change\r\nCTRL-SHIFT-Z :  redo the change undone\r\n"));
    }

    void dosEmulationItems() {
        const QString Path40 = MakeImage(
            PathOf("forty.d64"), {{"ONE", 0x82, 17, 0, 1}, {"TWO", 0x82, 17, 1, 1}}, dt40Tracks, deSpeedDos);
        ShowForm();
        OpenOn(1, Path40);
        const std::shared_ptr<TC64Disk> Disk = Form->Disk(1);
        QVERIFY(Form->DosEmulationItem(1, Disk->DosEmulation())->isChecked());
        QVERIFY(Disk->DosEmulation() != deCbmDos);

        const TDosEmulation Other = Disk->DosEmulation() == deSpeedDos ? deDolphinDos : deSpeedDos;
        Form->DosEmulationItem(1, Other)->trigger();
        QCOMPARE(Disk->DosEmulation(), Other);
        QVERIFY(Form->DosEmulationItem(1, Other)->isChecked());
        QVERIFY(Form->StatusText(1).startsWith(StatusFor(Disk, 2)));

        // CBM DOS refuses 40 tracks; the side is rebuilt with the emulation it kept.
        Form->DosEmulationItem(1, deCbmDos)->trigger();
        QCOMPARE(Prompts->Messages(), QStringList{"CBM-Dos V2.6 doesn't support 40 Track disks!"});
        QCOMPARE(Disk->DosEmulation(), Other);
        QVERIFY(Form->DosEmulationItem(1, Other)->isChecked());
        QVERIFY(!Form->DosEmulationItem(1, deCbmDos)->isChecked());

        // The item already checked does not rebuild: the selection made since survives.
        Form->LeftView()->SetRowSelected(2, true);
        Form->DosEmulationItem(1, Other)->trigger();
        QVERIFY(Form->LeftView()->IsRowSelected(2));
        // A new choice does rebuild, which clears it.
        Form->DosEmulationItem(1, Disk->DosEmulation() == deSpeedDos ? deDolphinDos : deSpeedDos)->trigger();
        QVERIFY(!Form->LeftView()->IsRowSelected(2));
        QVERIFY(Prompts->Errors().isEmpty());
    }

    void softWriteItemsFollowTheDisk() {
        const QString Path = MakeImage(PathOf("soft.d64"));
        ShowForm();
        OpenOn(1, Path);
        OpenOn(2, MakeImage(PathOf("soft2.d64")));
        QAction* Left = Form->SoftWriteItem(1);
        QVERIFY(Left->isChecked());
        QVERIFY(Form->Disk(1)->IgnoreSoftWriteProtection);

        Left->trigger();
        QVERIFY(!Left->isChecked());
        QVERIFY(!Form->Disk(1)->IgnoreSoftWriteProtection);
        QVERIFY(Form->Disk(2)->IgnoreSoftWriteProtection);
        // Reopening takes the item's state into the new disk object.
        OpenOn(1, Path);
        QVERIFY(!Form->Disk(1)->IgnoreSoftWriteProtection);
        Left->trigger();
        QVERIFY(Form->Disk(1)->IgnoreSoftWriteProtection);
    }

    void sameFileInBothPanesSharesOneDisk() {
        const QString Path =
            MakeImage(PathOf("shared.d64"), {{"ONE", 0x82, 17, 0, 1}}, dt40Tracks, deSpeedDos);
        ShowForm();
        OpenOn(1, Path);
        OpenOn(2, Dir.path() + "/./shared.d64");
        QVERIFY(Form->Disk(1));
        QCOMPARE(Form->Disk(1).get(), Form->Disk(2).get());

        const TDosEmulation Other = Form->Disk(1)->DosEmulation() == deSpeedDos ? deDolphinDos : deSpeedDos;
        Form->LeftView()->SetFocus();
        Form->DosEmulationItem(1, Other)->trigger();
        QVERIFY(Form->DosEmulationItem(1, Other)->isChecked());
        QVERIFY(Form->DosEmulationItem(2, Other)->isChecked());
        QCOMPARE(Form->StatusText(2), Form->StatusText(1));
        QVERIFY(Form->StatusText(1).startsWith(StatusFor(Form->Disk(1), 1)));
        // The side that acted keeps the focus.
        QCOMPARE(Form->ActiveSide(), 1);

        // Closing one side leaves the other with the disk.
        Item("Close D&64")->trigger();
        QVERIFY(!Form->Disk(1));
        QVERIFY(Form->Disk(2));
        QCOMPARE(Form->DiskNameLabel(2)->text(), Header(Form->Disk(2)));
    }

    void resizeSplitsPanesAndColumns() {
        ShowForm();
        Form->resize(MinWindowWidth, MinWindowHeight);
        QTest::qWait(0);
        TD64StringGrid* Left = Form->LeftView();
        TD64StringGrid* Right = Form->RightView();
        QCOMPARE(Left->width(), Form->width() / 2);
        QCOMPARE(Form->DiskNameLabel(1)->width(), Left->width());
        QCOMPARE(Left->ClientWidth(), Right->ClientWidth());
        const std::array<int, 4> Expected = ListingColumnWidths(Left->ClientWidth());
        for (int Col = 0; Col < 4; ++Col) {
            QCOMPARE(Left->ColWidth(Col), Expected[Col]);
            QCOMPARE(Right->ColWidth(Col), Expected[Col]);
        }

        // An odd width gives the right pane one pixel more, and its own columns.
        Form->resize(801, MinWindowHeight);
        QTest::qWait(0);
        QCOMPARE(Left->width(), 400);
        QCOMPARE(Right->width(), 401);
        const std::array<int, 4> RightWidths = ListingColumnWidths(Right->ClientWidth());
        for (int Col = 0; Col < 4; ++Col) {
            QCOMPARE(Left->ColWidth(Col), ListingColumnWidths(Left->ClientWidth())[Col]);
            QCOMPARE(Right->ColWidth(Col), RightWidths[Col]);
        }
    }

    void firstRunDefaults() {
        ShowForm();
        QCOMPARE(Form->CurrentEmulatorCode(), 1);
        QVERIFY(Form->CCS64().FastLoad && Form->CCS64().AutoRun && !Form->CCS64().Windowed);
        QVERIFY(Form->WinVice().FastLoad);
        QVERIFY(Form->CCS64().Location.empty() && Form->WinVice().Location.empty() &&
                Form->Frodo().Location.empty());
        // VICE: x64sc from PATH, autostarted with warp, true drive emulation, in a window.
        QVERIFY(Form->Vice().Location == "x64sc" && Form->Vice().AutoRun && Form->Vice().FastLoad &&
                Form->Vice().TrueDrive && Form->Vice().Windowed);
        QVERIFY(Item("&CCS64 Win32")->isChecked());
        QCOMPARE(Form->EmulatorPanel()->text(), QString("CCS64"));
        QCOMPARE(Form->size(), QSize(MinWindowWidth, MinWindowHeight));
        QVERIFY(Prompts->Shown.isEmpty());
    }

    void storedSettingsAreApplied() {
        Store->Values["Width"] = 700;
        Store->Values["Height"] = 300;
        Store->Values["X"] = -50;
        Store->Values["Y"] = 10;
        Store->Values["CCS64"] = "/opt/ccs64";
        Store->Values["CCS64_windowed"] = 1;
        Store->Values["CCS64_fast"] = 0;
        Store->Values["CCS64_run"] = 0;
        Store->Values["WinVice"] = "/usr/bin/x64";
        Store->Values["WinVice_fast"] = 0;
        Store->Values["Frodo"] = "/usr/bin/frodo";
        Store->Values["Emulator"] = QByteArray("\x02\x00", 2);
        ShowForm();
        QCOMPARE(Form->x(), 0);
        QCOMPARE(Form->width(), 700);
        QCOMPARE(Form->height(), MinWindowHeight);
        QCOMPARE(Form->CCS64().Location, std::string("/opt/ccs64"));
        QVERIFY(Form->CCS64().Windowed && !Form->CCS64().FastLoad && !Form->CCS64().AutoRun);
        QCOMPARE(Form->WinVice().Location, std::string("/usr/bin/x64"));
        QVERIFY(!Form->WinVice().FastLoad);
        QCOMPARE(Form->Frodo().Location, std::string("/usr/bin/frodo"));
        QCOMPARE(Form->CurrentEmulatorCode(), 2);
        QVERIFY(Item("WinVice")->isChecked());
        QVERIFY(!Item("&CCS64 Win32")->isChecked());
        QCOMPARE(Form->EmulatorPanel()->text(), QString("WINVICE"));
        QVERIFY(Prompts->Shown.isEmpty());
    }

    // Saved and restored as the same pair, frame position and client size, the window
    // comes back exactly where it was after any number of starts.
    void placementSurvivesRestarts() {
        // Frame and all inside even the small screen of Qt's offscreen platform.
        Store->Values["X"] = 40;
        Store->Values["Y"] = 30;
        Store->Values["Width"] = 700;
        Store->Values["Height"] = 500;
        for (int Start = 1; Start <= 3; ++Start) {
            ShowForm();
            WaitForFrame();
            QTRY_COMPARE(Form->frameGeometry().topLeft(), QPoint(40, 30));
            QCOMPARE(Form->size(), QSize(700, 500));
            Form->close();
            const QRect Saved(Store->Values["X"].toInt(), Store->Values["Y"].toInt(),
                              Store->Values["Width"].toInt(), Store->Values["Height"].toInt());
            QCOMPARE(Saved, QRect(40, 30, 700, 500));
        }
    }

    // A position off the screen brings the whole frame onto it, the title bar included.
    void offScreenPositionKeepsTheWholeFrameOnScreen() {
        const QRect Screen = QGuiApplication::primaryScreen()->geometry();
        Store->Values["X"] = -50;
        Store->Values["Y"] = -50;
        ShowForm();
        WaitForFrame();
        QTRY_COMPARE(Form->frameGeometry().topLeft(), QPoint(0, 0));

        Form.reset();
        Store->Values["X"] = Screen.width() + 100;
        Store->Values["Y"] = Screen.height() + 100;
        ShowForm();
        WaitForFrame();
        QTRY_COMPARE(Form->frameGeometry().bottomRight(), Screen.bottomRight());
    }

    void maximizedIgnoresStoredGeometry() {
        Store->Values["Max"] = 1;
        Store->Values["Width"] = 900;
        Store->Values["X"] = 30;
        ShowForm();
        QTRY_VERIFY(Form->isMaximized());
        QCOMPARE(Form->normalGeometry().size(), QSize(MinWindowWidth, MinWindowHeight));
    }

    void wrongTypeTakesItsDefaultAndTheRestIsRead() {
        Store->Values["CCS64_fast"] = "abc";
        Store->Values["CCS64_run"] = 0;
        Store->Values["WinVice"] = "/usr/bin/x64";
        Store->Values["Emulator"] = QByteArray("\x02\x00", 2);
        ShowForm();
        QCOMPARE(Prompts->Errors(), QStringList{"Invalid registry data type for value \"CCS64_fast\""});
        QVERIFY(Form->isVisible() && Form->LeftView()->viewport()->acceptDrops());
        QVERIFY(Form->CCS64().FastLoad && !Form->CCS64().AutoRun);
        QCOMPARE(Form->EmulatorPanel()->text(), QString("WINVICE"));
        // Closing writes the default for the bad value and every other value as read.
        Form->close();
        QCOMPARE(Store->Values["CCS64_fast"].toInt(), 1);
        QCOMPARE(Store->Values["CCS64_run"].toInt(), 0);
        QCOMPARE(Store->Values["WinVice"].toString(), QString("/usr/bin/x64"));
        QCOMPARE(Store->Values["Emulator"].toByteArray(), QByteArray("\x02\x00\x00\x00", 4));

        // An "Emulator" value longer than four bytes is a wrong type too: CCS64 is current.
        Form.reset();
        Prompts->Clear();
        Store->Values.clear();
        Store->Values["Emulator"] = QByteArray(5, '\x01');
        Store->Values["Max"] = "yes";
        ShowForm();
        QCOMPARE(Prompts->Errors(), QStringList{"Invalid registry data type for value \"Max\"\r\n"
                                                "Invalid registry data type for value \"Emulator\""});
        QCOMPARE(Form->CurrentEmulatorCode(), 1);
    }

    void closingSavesSettings() {
        Store->Values["Emulator"] = QByteArray("\x02\x00\x00\x00", 4);
        Store->Values["Frodo"] = "/usr/bin/frodo";
        ShowForm();
        Item("C&lose")->trigger();
        QVERIFY(!Form->isVisible());

        QCOMPARE(Fonts->Removed, (QStringList{"CBM64_G.fon", "CBM64_S.fon"}));
        QVERIFY(Prompts->Shown.isEmpty());
        QCOMPARE(Store->Values["Emulator"].toByteArray(), QByteArray("\x02\x00\x00\x00", 4));
        QCOMPARE(Store->Values["Frodo"].toString(), QString("/usr/bin/frodo"));
        QCOMPARE(Store->Values["Width"].toInt(), Form->width());
        QCOMPARE(Store->Values["Height"].toInt(), Form->height());
        QCOMPARE(Store->Values["Max"].toInt(), 0);
        QCOMPARE(Store->Values["CCS64_fast"].toInt(), 1);
        QCOMPARE(Store->Values["CCS64_run"].toInt(), 1);
        QCOMPARE(Store->Values["CCS64_windowed"].toInt(), 0);
        QCOMPARE(Store->Values["WinVice_fast"].toInt(), 1);
        QStringList Names = Store->Values.keys();
        Names.sort();
        QStringList Written = {"CCS64", "CCS64_fast", "CCS64_run", "CCS64_windowed", "Emulator",
                               "Frodo", "Height",     "Max",       "WinVice",        "WinVice_fast",
                               "Width", "X",          "Y"};
        Written.append({"Vice", "Vice_run", "Vice_fast", "Vice_truedrive", "Vice_windowed"});
        Written.sort();
        QCOMPARE(Names, Written);
    }

    void closingSavesEvenWhenFontRemovalFails() {
        Fonts->Failing = {"CBM64_G.fon"};
        ShowForm();
        Form->close();
        QCOMPARE(Prompts->Messages(), QStringList{"Error while removing font-resource!"});
        // The second font is not tried after the first failed.
        QCOMPARE(Fonts->Removed, QStringList{"CBM64_G.fon"});
        QCOMPARE(Store->Values["Emulator"].toByteArray(), QByteArray("\x01\x00\x00\x00", 4));
        QVERIFY(!Store->Values.contains("Frodo"));

        Form.reset();
        Prompts->Clear();
        Store->Values.clear();
        Fonts->Removed.clear();
        Fonts->Failing = {"CBM64_S.fon"};
        ShowForm();
        Form->close();
        QCOMPARE(Prompts->Messages(), QStringList{"Error while removing font-resource!"});
        QCOMPARE(Fonts->Removed, (QStringList{"CBM64_G.fon", "CBM64_S.fon"}));
        QVERIFY(Store->Values.contains("X"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
