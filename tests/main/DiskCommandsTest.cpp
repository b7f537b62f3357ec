// The disk-properties, file-properties and BAM commands of the main window, run from
// their menu items, tool buttons and keys on images built with the engine; dialogs are
// answered through real events, questions through the scripted prompts, and every change
// is checked in the bytes of the image file.
#include "BAMDlg.h"
#include "BamView.h"
#include "D64StringGrid.h"
#include "DiskPropDlg.h"
#include "FilePropDlg.h"
#include "FontInstaller.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "PetsciiText.h"
#include "ScriptedPrompts.h"
#include "TestDisks.h"
#include "WhenOpen.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

using namespace TestDisks;

namespace {

const QString FreeBlocksQuestion =
    "Changing the number of free blocks turns your disk in an invalid state!\r\n"
    "Do you really want to change it?";
const QString TypeOrSizeQuestion =
    "Changing type or size of an file can turn your disk and/or file in an invalid state!\r\n"
    "Do you really want to change it?";
const QString NothingWritten = "\r\nNothing has been written to it.";
const QString BamQuestion = "Changing the Block Availability Map can turn your disk in an invalid state!\r\n"
                            "Do you really want to change it?";

// A cell of the 1541 chart.
QPoint CellCentre(int Track, int Sector) {
    return TBamGeometry(35, std::vector<int>(40, 21)).CellRect(MakeTrackSector(Track, Sector)).center();
}

} // namespace

class DiskCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    ScriptedPrompts Prompts;
    MemorySettingsStore Store;
    TQuietFontInstaller Fonts;
    std::unique_ptr<TMainForm> Form;

    void ShowForm() {
        Form = std::make_unique<TMainForm>(Prompts, Store, Fonts);
        Form->show();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
    }
    void OpenOn(int Side, const QString& Path) {
        (Side == 1 ? Form->LeftView() : Form->RightView())->SetFocus();
        Prompts.OpenFileNames.push_back(Path);
        Form->OpenD641Click();
    }
    QAction* SideItem(int Side, const QString& Caption) const {
        for (QAction* Item : Form->SideMenu(Side)->actions())
            if (Item->text() == Caption) return Item;
        return nullptr;
    }
    QAction* ToolButton(const QString& Hint) const {
        for (QAction* Item : Form->findChildren<QAction*>())
            if (Item->toolTip() == Hint) return Item;
        return nullptr;
    }
    QString NameCell(int Side, int Row) const {
        const TD64StringGrid* View = Side == 1 ? Form->LeftView() : Form->RightView();
        return QString::fromLatin1(View->Cell(1, Row)).trimmed();
    }
    // Runs the file-properties key on the left side's row with the given steps in the dialog.
    void FileProperties(int Row, const std::function<void(TFilePropertiesDlg&)>& Steps) {
        // The key is a window shortcut: the window must be active again after a dialog.
        Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
        Form->LeftView()->SetFocus();
        Form->LeftView()->SetRow(Row);
        WhenOpen<TFilePropertiesDlg>(Steps);
        QTest::keyClick(Form->LeftView(), Qt::Key_F7);
    }

  private slots:
    void init() {
        QVERIFY(Dir.isValid());
        Prompts.Clear();
    }
    void cleanup() {
        HostFile::SetFaultHook(nullptr);
        Form.reset();
        QVERIFY(Prompts.Unexpected.isEmpty());
    }

    void diskPropertiesFromTheRightMenuEditTheRightDisk() {
        const QString Left = Dir.filePath("left.d64");
        const QString Right = Dir.filePath("right.d64");
        NewDisk(Left);
        NewDisk(Right);
        const QByteArray LeftBefore = ReadFile(Left);
        const QByteArray RightBefore = ReadFile(Right);
        ShowForm();
        OpenOn(1, Left);
        OpenOn(2, Right);
        Form->LeftView()->SetFocus();

        // OK without an edit leaves every byte as it was, the ID's 0xA0 included.
        WhenOpen<TDiskPropDlg>([&](TDiskPropDlg& Shown) {
            QCOMPARE(Shown.windowTitle(), "Disk Properties - " + Right);
            QCOMPARE(Shown.DiskID->text(), QString("01 2A"));
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        SideItem(2, "&Disk Properties")->trigger();
        QCOMPARE(ReadFile(Right), RightBefore);
        QCOMPARE(Form->ActiveSide(), 2); // the right side was rebuilt and focused

        Form->LeftView()->SetFocus();
        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) {
            Shown.Diskname->selectAll();
            QTest::keyClicks(Shown.Diskname, "renamed");
            Shown.DiskID->setFocus();
            Shown.DiskID->setCursorPosition(0);
            QTest::keyClick(Shown.DiskID, Qt::Key_Delete);
            QTest::keyClick(Shown.DiskID, Qt::Key_Delete);
            QTest::keyClicks(Shown.DiskID, "xy"); // "XY 2A": the padding space is no part of the ID
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        SideItem(2, "&Disk Properties")->trigger();
        const QByteArray Image = ReadFile(Right);
        QCOMPARE(Image.mid(Header + 144, 16), QByteArray("RENAMED") + QByteArray(9, '\xA0'));
        QCOMPARE(Image.mid(Header + 162, 5), QByteArray("XY\xA0"
                                                        "2A"));
        QVERIFY(Form->DiskNameLabel(2)->text().contains("RENAMED"));
        QCOMPARE(ReadFile(Left), LeftBefore);
        QVERIFY(Prompts.Shown.size() == 2 && Prompts.Questions().isEmpty()); // the two opens only
    }

    void freeBlocksAskWithNoAsDefault() {
        const QString Path = Dir.filePath("free.d64");
        NewDisk(Path);
        ShowForm();
        OpenOn(1, Path);
        const auto SetFree = [&](int Blocks, bool Answer) {
            Prompts.YesNoAnswers = {Answer};
            WhenOpen<TDiskPropDlg>([Blocks](TDiskPropDlg& Shown) {
                Shown.Diskname->selectAll();
                QTest::keyClicks(Shown.Diskname, Blocks == 0 ? "none" : "all");
                Shown.FreeBlocks->setValue(Blocks);
                QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
            });
            ToolButton("Edit Disk Properties")->trigger();
        };
        // No drops only the count; the label is saved.
        SetFree(0, false);
        QCOMPARE(Prompts.Questions(), QStringList{FreeBlocksQuestion});
        QVERIFY(Prompts.Shown.last().DefaultNo);
        QByteArray Image = ReadFile(Path);
        QCOMPARE(Image.mid(Header + 144, 5), QByteArray("NONE\xA0"));
        QCOMPARE(uint8_t(Image[Header + 4]), uint8_t(21));
        // Yes with the maximum: every counted track at 255, track 18 untouched.
        SetFree(8670, true);
        Image = ReadFile(Path);
        for (int Track = 1; Track <= 35; ++Track)
            QCOMPARE(uint8_t(Image[Header + 4 * Track]), uint8_t(Track == 18 ? 17 : 255));
        QCOMPARE(Form->StatusText(1),
                 QString("8670 BLOCKS FREE - 0 FILE(S) ON DISK - BAM COUNTS 34 TRACKS WRONG - VALIDATE"));
    }

    void protectedDiskIsEditedAndKeepsItsSetting() {
        const QString Path = Dir.filePath("protected.d64");
        NewDisk(Path)->SetSoftWriteProtected(true);
        ShowForm();
        OpenOn(1, Path);
        Form->SoftWriteItem(1)->trigger(); // "Ignore SoftWrite Protection" unchecked
        QVERIFY(!Form->Disk(1)->IgnoreSoftWriteProtection);
        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) {
            QVERIFY(Shown.SWProtect->isChecked());
            Shown.Diskname->selectAll();
            QTest::keyClicks(Shown.Diskname, "kept");
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        ToolButton("Edit Disk Properties")->trigger();
        QByteArray Image = ReadFile(Path);
        QCOMPARE(Image.mid(Header + 144, 5), QByteArray("KEPT\xA0"));
        QCOMPARE(uint8_t(Image[Header + 2]), uint8_t(0x01));
        QVERIFY(!Form->Disk(1)->IgnoreSoftWriteProtection);

        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) {
            QTest::mouseClick(Shown.SWProtect, Qt::LeftButton);
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        ToolButton("Edit Disk Properties")->trigger();
        QCOMPARE(uint8_t(ReadFile(Path)[Header + 2]), uint8_t(0x41));
        QVERIFY(Prompts.Errors().isEmpty());
    }

    void dosEmulationRefusalsKeepTheRest() {
        const QString Forty = Dir.filePath("forty.d64");
        const QString Short = Dir.filePath("short.d64");
        NewDisk(Forty, dt40TracksErrorInfo, deSpeedDos);
        NewDisk(Short);
        ShowForm();
        OpenOn(1, Short);
        OpenOn(2, Forty);
        const auto Choose = [&](int Item, const char* Name) {
            WhenOpen<TDiskPropDlg>([Item, Name](TDiskPropDlg& Shown) {
                Shown.DosEmu->setCurrentIndex(Item);
                Shown.Diskname->selectAll();
                QTest::keyClicks(Shown.Diskname, Name);
                QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
            });
            ToolButton("Edit Disk Properties")->trigger();
        };
        Choose(dePrologicDos, "one");
        Choose(deCbmDos, "two");
        QCOMPARE(Prompts.Messages(), QStringList({"Prologic-Dos not supported!",
                                                  "CBM-Dos V2.6 doesn't support 40 Track disks!"}));
        QCOMPARE(Form->Disk(2)->DosEmulation(), deSpeedDos);
        QCOMPARE(ReadFile(Forty).mid(Header + 144, 4), QByteArray("TWO\xA0"));
        Choose(deDolphinDos, "three");
        QCOMPARE(Form->Disk(2)->DosEmulation(), deDolphinDos);
        QVERIFY(Form->DosEmulationItem(2, deDolphinDos)->isChecked());

        // A 35-track disk switched to SpeedDOS in the menu is CBM DOS again after OK.
        Form->DosEmulationItem(1, deSpeedDos)->trigger();
        QCOMPARE(Form->Disk(1)->DosEmulation(), deSpeedDos);
        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) {
            QVERIFY(!Shown.DosEmu->isEnabled());
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        SideItem(1, "&Disk Properties")->trigger();
        QCOMPARE(Form->Disk(1)->DosEmulation(), deCbmDos);
        QVERIFY(Form->DosEmulationItem(1, deCbmDos)->isChecked());
    }

    void freeBlocksGoIntoTheChosenDosArea() {
        const QString Path = Dir.filePath("dolphin.d64");
        NewDisk(Path, dt40Tracks, deDolphinDos);
        ShowForm();
        OpenOn(1, Path); // read as SpeedDOS: 664 free
        const auto Apply = [&](int Item, int Blocks) {
            WhenOpen<TDiskPropDlg>([Item, Blocks](TDiskPropDlg& Shown) {
                Shown.DosEmu->setCurrentIndex(Item);
                if (Blocks) Shown.FreeBlocks->setValue(Blocks);
                QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
            });
            ToolButton("Edit Disk Properties")->trigger();
        };
        Prompts.YesNoAnswers = {true};
        Apply(deDolphinDos, 9945);
        QCOMPARE(Form->StatusText(1),
                 QString("9945 BLOCKS FREE - 0 FILE(S) ON DISK - BAM COUNTS 39 TRACKS WRONG - VALIDATE"));
        QByteArray Image = ReadFile(Path);
        for (int Track = 36; Track <= 40; ++Track) {
            QCOMPARE(uint8_t(Image[Header + 172 + 4 * (Track - 36)]), uint8_t(255)); // DolphinDOS
            QCOMPARE(uint8_t(Image[Header + 192 + 4 * (Track - 36)]), uint8_t(0));   // SpeedDOS
        }
        // A switch alone asks nothing and leaves every counter as it was.
        Apply(deSpeedDos, 0);
        QCOMPARE(Prompts.Questions(), QStringList{FreeBlocksQuestion});
        QCOMPARE(ReadFile(Path), Image);
        QCOMPARE(Form->StatusText(1),
                 QString("8670 BLOCKS FREE - 0 FILE(S) ON DISK - BAM DIFFERS IN 85 BLOCKS - VALIDATE"));
    }

    void filePropertiesChangeOnlyTheEntry() {
        const QString Path = Dir.filePath("files.d64");
        {
            std::shared_ptr<TC64Disk> Disk = NewDisk(Path);
            AddFile(*Disk, "ODD", 100, 0x85);
            AddFile(*Disk, "GAME", 254 * 32 + 10); // 33 blocks
            AddLoopingFile(*Disk, "LOOP", MakeTrackSector(5, 0), MakeTrackSector(5, 1));
        }
        ShowForm();
        OpenOn(1, Path);
        const int GameEntry = static_cast<int>(FindEntry(*Form->Disk(1), "GAME") - Form->Disk(1)->Image());
        const int OddEntry = static_cast<int>(FindEntry(*Form->Disk(1), "ODD") - Form->Disk(1)->Image());

        // Renaming alone asks nothing; the current row stays.
        FileProperties(2, [](TFilePropertiesDlg& Shown) {
            QCOMPARE(Shown.lbfilesize->text(), QString("* (real filesize is 8138 byte)"));
            Shown.efFilename->selectAll();
            QTest::keyClicks(Shown.efFilename, "new"); // plain letters give the C64's capitals
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        QByteArray Image = ReadFile(Path);
        QCOMPARE(Image.mid(GameEntry + 5, 4), QByteArray("NEW\xA0"));
        QCOMPARE(NameCell(1, 2), QString("\"NEW\""));
        QCOMPARE(Form->LeftView()->Row(), 2);
        QVERIFY(Prompts.Questions().isEmpty());

        // A type change answered No changes nothing at all, the name included.
        Prompts.YesNoAnswers = {false, true};
        const auto ToUsr = [](const char* Name) {
            return [Name](TFilePropertiesDlg& Shown) {
                Shown.efFilename->selectAll();
                QTest::keyClicks(Shown.efFilename, Name);
                Shown.cbFiletype->setCurrentIndex(TFilePropValues::UsrItem);
                Shown.seFilesize->setValue(40);
                QTest::mouseClick(Shown.cbClosed, Qt::LeftButton);
                QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
            };
        };
        FileProperties(2, ToUsr("NO"));
        QCOMPARE(ReadFile(Path), Image);
        FileProperties(2, ToUsr("YES"));
        QCOMPARE(Prompts.Questions(), QStringList({TypeOrSizeQuestion, TypeOrSizeQuestion}));
        Image = ReadFile(Path);
        QCOMPARE(uint8_t(Image[GameEntry + 2]), uint8_t(0x03)); // USR, not closed
        QCOMPARE(Image.mid(GameEntry + 30, 2), QByteArray("\x28\x00", 2));
        QCOMPARE(QString::fromLatin1(Form->LeftView()->Cell(2, 2)), QString("USR*"));

        // A "?" type confirmed untouched keeps its code; the flags still apply.
        FileProperties(1, [](TFilePropertiesDlg& Shown) {
            QCOMPARE(Shown.cbFiletype->currentText(), QString("?"));
            QTest::mouseClick(Shown.cbLocked, Qt::LeftButton);
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(uint8_t(ReadFile(Path)[OddEntry + 2]), uint8_t(0xC5));
        QCOMPARE(Prompts.Questions().size(), 2);

        // A looping chain: the engine's message comes before the dialog.
        FileProperties(3, [this](TFilePropertiesDlg& Shown) {
            QCOMPARE(Prompts.Messages(), QStringList{"Can't read real filesize because of an invalid "
                                                     "file-chain!\r\nValidate the disk and try it again."});
            QCOMPARE(Shown.lbfilesize->text(), QString("* (real filesize not known)"));
        });
    }

    void fileEntryThatWouldBecomeFreeAsksAndProtectionRefuses() {
        const QString Path = Dir.filePath("guard.d64");
        {
            std::shared_ptr<TC64Disk> Disk = NewDisk(Path);
            AddFile(*Disk, "GONE", 10, 0x80);
            Disk->SetSoftWriteProtected(true);
        }
        ShowForm();
        OpenOn(1, Path);
        const QByteArray Before = ReadFile(Path);
        // A DEL file unchecked from closed would leave the directory with its blocks taken.
        Prompts.YesNoAnswers = {false};
        FileProperties(1, [](TFilePropertiesDlg& Shown) {
            QTest::mouseClick(Shown.cbClosed, Qt::LeftButton);
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(Prompts.Questions(), QStringList{TypeOrSizeQuestion});
        // On a protected disk whose side does not ignore it, even an unchanged OK is refused.
        Form->SoftWriteItem(1)->trigger();
        FileProperties(1, [](TFilePropertiesDlg& Shown) {
            Shown.efFilename->selectAll();
            QTest::keyClicks(Shown.efFilename, "RENAMED");
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(Prompts.Messages(), QStringList{"Disk is Soft Write Protected!" + NothingWritten});
        QCOMPARE(ReadFile(Path), Before);
        QCOMPARE(NameCell(1, 1), QString("\"GONE\""));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(Form->Disk(1)->Image()), Before.size()), Before);

        // The blank row of an empty listing opens nothing.
        Form->CloseD641Click();
        OpenOn(1, QString(NewDisk(Dir.filePath("empty.d64"))->FileName().c_str()));
        bool Opened = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* Modal = QApplication::activeModalWidget()) {
                Opened = true;
                Modal->close();
            }
        });
        Form->Properties1Click();
        QTest::qWait(20);
        QVERIFY(!Opened);
    }

    void bamFromTheRightMenuWritesOnlyOnYes() {
        const QString Left = Dir.filePath("bam-left.d64");
        const QString Right = Dir.filePath("bam-right.d64");
        NewDisk(Left);
        AddFile(*NewDisk(Right), "GAME", 600);
        ShowForm();
        OpenOn(1, Left);
        OpenOn(2, Right);
        const QByteArray Before = ReadFile(Right);
        const auto Run = [&](std::function<void(TBAMDlg&)> Steps) {
            Form->LeftView()->SetFocus();
            WhenOpen<TBAMDlg>(Steps);
            SideItem(2, "&View BAM")->trigger();
        };
        const auto ClickAndOk = [](TBAMDlg& Shown) {
            QVERIFY(Shown.BamView1->Record(MakeTrackSector(17, 0))->Used); // the right disk
            QTest::mouseClick(Shown.BamView1, Qt::LeftButton, {}, CellCentre(1, 0));
            QTest::mouseClick(Shown.bok, Qt::LeftButton);
        };
        // Cancel, or OK without a change: nothing written, nothing rebuilt.
        Run([](TBAMDlg& Shown) {
            QTest::mouseClick(Shown.BamView1, Qt::LeftButton, {}, CellCentre(1, 0));
            QTest::mouseClick(Shown.bcancel, Qt::LeftButton);
        });
        Run([](TBAMDlg& Shown) { QTest::mouseClick(Shown.bok, Qt::LeftButton); });
        QCOMPARE(Form->ActiveSide(), 1);
        QVERIFY(Prompts.Questions().isEmpty());
        // OK, No: nothing written, but the side is rebuilt.
        Prompts.YesNoAnswers = {false, true};
        Run(ClickAndOk);
        QCOMPARE(ReadFile(Right), Before);
        QCOMPARE(Form->ActiveSide(), 2);
        // OK, Yes: the bit and the track's counter, in the file and the status.
        Run(ClickAndOk);
        QCOMPARE(Prompts.Questions(), QStringList({BamQuestion, BamQuestion}));
        QVERIFY(Prompts.Shown.last().DefaultNo);
        QByteArray Expected = Before;
        Expected[Header + 4] = char(20);
        Expected[Header + 5] = char(uint8_t(Before[Header + 5]) & ~1);
        QCOMPARE(ReadFile(Right), Expected);
        QCOMPARE(Form->StatusText(2),
                 QString("660 BLOCKS FREE - 1 FILE(S) ON DISK - BAM DIFFERS IN 1 BLOCK - VALIDATE"));
    }

    void bamOnAProtectedDiskReportsAndRefreshes() {
        const QString Path = Dir.filePath("bam-protected.d64");
        NewDisk(Path)->SetSoftWriteProtected(true);
        const QByteArray Before = ReadFile(Path);
        ShowForm();
        OpenOn(2, Path);
        Form->SoftWriteItem(2)->trigger();
        Form->LeftView()->SetFocus();
        Prompts.YesNoAnswers = {true};
        WhenOpen<TBAMDlg>([](TBAMDlg& Shown) {
            QTest::mouseClick(Shown.BamView1, Qt::LeftButton, {}, CellCentre(1, 0));
            QTest::mouseClick(Shown.bok, Qt::LeftButton);
        });
        SideItem(2, "&View BAM")->trigger();
        QCOMPARE(Prompts.Errors(), QStringList{"Disk is Soft Write Protected!" + NothingWritten});
        QCOMPARE(ReadFile(Path), Before);
        QCOMPARE(Form->ActiveSide(), 2);
    }

    void twoSidedDiskShowsAndWritesItsSecondSide() {
        const QString Path = Dir.filePath("two-sided.d71");
        TC64Disk::CreateDiskImage(Path.toStdString(), dt71, deCbmDos)->Save();
        ShowForm();
        OpenOn(2, Path);
        QVERIFY(Form->StatusText(2).startsWith("1328 BLOCKS FREE - 0 FILE(S) ON DISK"));
        const QByteArray Before = ReadFile(Path);
        Prompts.YesNoAnswers = {true};
        WhenOpen<TBAMDlg>([](TBAMDlg& Shown) {
            // Every free block of both sides shown, the directory's and track 53's apart.
            int Free = 0;
            for (int Track = 1; Track <= 70; ++Track)
                for (int Sector = 0; Sector < 21; ++Sector)
                    if (const TBamRecord* Block = Shown.BamView1->Record(MakeTrackSector(Track, Sector)))
                        Free += Track != 18 && !Block->Used;
            QCOMPARE(Free, 1328);
            const QPoint Cell = Shown.BamView1->Geometry().CellRect(MakeTrackSector(52, 0)).center();
            QTest::mouseClick(Shown.BamView1, Qt::LeftButton, {}, Cell);
            QTest::mouseClick(Shown.bok, Qt::LeftButton);
        });
        SideItem(2, "&View BAM")->trigger();
        QByteArray Expected = Before;
        Expected[Header + 0xDD + 16] = char(uint8_t(Before[Header + 0xDD + 16]) - 1);
        Expected[174848 + Header + 3 * 16] = char(uint8_t(Before[174848 + Header + 3 * 16]) & ~1);
        QCOMPARE(ReadFile(Path), Expected);
        QVERIFY(Form->StatusText(2).startsWith("1327 BLOCKS FREE"));
    }

    void failedWritesLeaveTheDiskAsItsFileHoldsIt() {
        const QString Path = Dir.filePath("refused.d64");
        AddFile(*NewDisk(Path), "GAME", 600);
        ShowForm();
        OpenOn(1, Path);
        const QString Shown = Form->DiskNameLabel(1)->text() + Form->StatusText(1) + NameCell(1, 1);
        // A label, a block and a file name, each refused by the file: memory and side
        // stay as the file holds them.
        Prompts.YesNoAnswers = {true};
        const std::function<void()> Commands[] = {[&] {
                                                      WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Dialog) {
                                                          QTest::keyClicks(Dialog.Diskname, "NEW");
                                                          QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
                                                      });
                                                      ToolButton("Edit Disk Properties")->trigger();
                                                  },
                                                  [&] {
                                                      WhenOpen<TBAMDlg>([](TBAMDlg& Dialog) {
                                                          QTest::mouseClick(Dialog.BamView1, Qt::LeftButton,
                                                                            {}, CellCentre(1, 0));
                                                          QTest::mouseClick(Dialog.bok, Qt::LeftButton);
                                                      });
                                                      ToolButton("View BAM")->trigger();
                                                  },
                                                  [&] {
                                                      FileProperties(1, [](TFilePropertiesDlg& Dialog) {
                                                          QTest::keyClicks(Dialog.efFilename, "NEW");
                                                          QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
                                                      });
                                                  }};
        for (const std::function<void()>& Command : Commands) {
            RefuseOpens(1);
            Command();
            QVERIFY(MatchesFile(*Form->Disk(1)));
            QCOMPARE(Form->DiskNameLabel(1)->text() + Form->StatusText(1) + NameCell(1, 1), Shown);
        }
        QCOMPARE(Prompts.Errors(),
                 QStringList(3, "Can't open file \"" + Path + "\": Permission denied" + NothingWritten));
    }

    void directoryBlockFreedInTheBamStaysDirectory() {
        const QString Path = Dir.filePath("dir.d64");
        NewDisk(Path);
        ShowForm();
        OpenOn(1, Path);
        Prompts.YesNoAnswers = {true};
        WhenOpen<TBAMDlg>([](TBAMDlg& Shown) {
            QTest::mouseClick(Shown.BamView1, Qt::LeftButton, {}, CellCentre(18, 1));
            QTest::mouseClick(Shown.bok, Qt::LeftButton);
        });
        ToolButton("View BAM")->trigger();
        std::shared_ptr<TC64Disk> Disk = Form->Disk(1);
        QVERIFY(!Disk->IsSectorUsed(MakeTrackSector(18, 1)));
        // Files written afterwards, enough to grow the directory, never take its sectors.
        for (char Name = 'A'; Name <= 'J'; ++Name)
            AddFile(*Disk, PetsciiString(1, Name), 300);
        Form->DiskName1Click();
        std::shared_ptr<TC64Disk> Reread = TC64Disk::OpenDiskImage(Disk->FileName(), deCbmDos);
        QCOMPARE(Reread->ReadDirectory(TFileKindSet::AllListed(), [](const TC64DirRecord&) {}), 10);
        QVERIFY(FindEntry(*Reread, "A") && FindEntry(*Reread, "J"));
    }
};

QTEST_MAIN(DiskCommandsTest)
#include "DiskCommandsTest.moc"
