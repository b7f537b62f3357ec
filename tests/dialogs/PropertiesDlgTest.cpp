// The disk and file properties dialogs: what they show for images built with the engine
// (35/40 tracks, error bytes, SpeedDOS/DolphinDOS, protection, unusual IDs and types),
// their fields and keys, and the values they hand back.
#include "DiskPropDlg.h"
#include "FilePropDlg.h"
#include "PetsciiText.h"
#include "ScriptedPrompts.h"
#include "TestDisks.h"
#include "WhenOpen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestDisks;

class PropertiesDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    ScriptedPrompts Prompts;

    // What the disk properties dialog shows for a disk.
    QStringList Shown(TC64Disk& Disk) {
        TDiskPropDlg Dialog(Prompts, nullptr);
        Dialog.SetValues(TDiskPropValues::FromDisk(Disk));
        return {Dialog.Tracks->text(),
                Dialog.ErrorInfos->text(),
                Dialog.DosEmu->isEnabled() ? "enabled" : "disabled",
                Dialog.DosEmu->currentText(),
                QString::number(Dialog.FreeBlocks->maximum()),
                QString::number(Dialog.FreeBlocks->value()),
                Dialog.SWProtect->isChecked() ? "protected" : "open",
                Dialog.DiskID->text()};
    }

  private slots:
    void initTestCase() {
        for (const char* File : {"CBM64_G.fon", "CBM64_S.fon"})
            QVERIFY(QFontDatabase::addApplicationFont(QString(KBM_FONT_DIR "/") + File) != -1);
    }

    void diskDialogShowsEachKindOfImage() {
        const QString Path = Dir.filePath("std.d64");
        const std::shared_ptr<TC64Disk> Standard = NewDisk(Path);
        QCOMPARE(Shown(*Standard),
                 QStringList({"35", "Not Included", "disabled", "CBM Dos", "8670", "664", "open", "01 2A"}));
        TDiskPropDlg Dialog(Prompts, nullptr);
        QCOMPARE(Dialog.windowTitle(), QString("Disk Properties"));
        Dialog.SetValues(TDiskPropValues::FromDisk(*Standard));
        QCOMPARE(Dialog.windowTitle(), "Disk Properties - " + Path);

        const std::shared_ptr<TC64Disk> Speed =
            NewDisk(Dir.filePath("speed.d64"), dt40TracksErrorInfo, deSpeedDos);
        QCOMPARE(Shown(*Speed),
                 QStringList({"40", "Included", "enabled", "Speed Dos", "9945", "749", "open", "01 2A"}));
        const std::shared_ptr<TC64Disk> Dolphin =
            NewDisk(Dir.filePath("dolphin.d64"), dt40Tracks, deDolphinDos);
        QCOMPARE(Shown(*Dolphin).mid(0, 4), QStringList({"40", "Not Included", "enabled", "Dolphin Dos"}));
        // A 35-track disk switched to SpeedDOS in the side menu still shows CBM DOS, disabled;
        // a count above the form's 664 is not cut; protection shows checked.
        const std::shared_ptr<TC64Disk> Odd = NewDisk(Dir.filePath("odd.d64"), dt35TracksErrorInfo);
        Odd->SetDosEmulation(deSpeedDos);
        Odd->SetFreeBlocks(8000);
        Odd->SetSoftWriteProtected(true);
        QCOMPARE(Shown(*Odd).mid(1, 6),
                 QStringList({"Included", "disabled", "CBM Dos", "8670", "8000", "protected"}));
    }

    void idTextKeepsItsBytesBothWays() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("ids.d64"));
        uint8_t* Header = Disk->GetBamSector();
        const auto Values = [&](const char Id[3], const char Type[2], const PetsciiString& Edited = {}) {
            std::memcpy(Header + 162, Id, 3);
            std::memcpy(Header + 165, Type, 2);
            TDiskPropValues Values = TDiskPropValues::FromDisk(*Disk);
            const PetsciiString Shown = Values.DiskID;
            if (!Edited.empty()) Values.DiskID = Edited;
            return Shown + "|" + Values.IdPart() + "|" + Values.DosTypePart();
        };
        // The standard header (ID, 0xA0, type) shows padded and gets its 0xA0 back, edited or not.
        QCOMPARE(Values("01\xA0", "2A"), PetsciiString("01 2A|01|2A"));
        QCOMPARE(Values("01\xA0", "2A", "02 3B"), PetsciiString("01 2A|02|3B"));
        QCOMPARE(Values("01\xA0", "2A", "023"), PetsciiString("01 2A|023|"));
        // A real space in the ID area stays; no DOS type shows the ID alone, unpadded.
        QCOMPARE(Values("01 ", "2A"), PetsciiString("01 2A|01 |2A"));
        QCOMPARE(Values("AB\xA0", "\xA0\xA0"), PetsciiString("AB|AB|"));
        QCOMPARE(Values("A\xA0\xA0", "2A"), PetsciiString("A  2A|A|2A"));
    }

    void diskDialogHandsBackTheEdits() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("edit.d64"), dt40Tracks, deSpeedDos);
        TDiskPropDlg Dialog(Prompts, nullptr);
        Dialog.SetValues(TDiskPropValues::FromDisk(*Disk));
        Dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&Dialog));
        QCOMPARE(Dialog.DiskID->maxLength(), 5);
        Dialog.Diskname->selectAll();
        QTest::keyClicks(Dialog.Diskname, "new");
        QTest::keyClick(Dialog.Diskname, 'A', Qt::ShiftModifier);
        QTest::mouseClick(Dialog.SWProtect, Qt::LeftButton);
        // Text typed into the list selects no item, even one that reads like an item.
        Dialog.DosEmu->lineEdit()->selectAll();
        QTest::keyClicks(Dialog.DosEmu->lineEdit(), "Dolphin");
        QCOMPARE(Dialog.Values().DosEmuItem, -1);
        // 9999 typed (four characters at most) counts as the maximum.
        Dialog.FreeBlocks->setFocus();
        Dialog.FreeBlocks->selectAll();
        QTest::keyClicks(Dialog.FreeBlocks, "99999");
        QTest::keyClick(Dialog.FreeBlocks, Qt::Key_Return);
        const TDiskPropValues Edited = Dialog.Values();
        QCOMPARE(Edited.DiskName, PetsciiString("NEWa")); // the letter-case rule
        QCOMPARE(Edited.FreeBlocks, 9945);
        QVERIFY(Edited.SoftWriteProtected && Dialog.result() == QDialog::Accepted);
    }

    void fileDialogShowsTheEntryAndItsType() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("files.d64"));
        uint8_t* Entry = AddFile(*Disk, "GAME", 254 * 32 + 10);
        TFilePropValues Values = TFilePropValues::FromEntry(*Disk, Entry);
        Values.SizeNote = TFilePropValues::RealSizeNote(Disk->GetRealFileSize(Entry));
        TFilePropertiesDlg Dialog(Prompts, nullptr);
        Dialog.SetValues(Values);
        QCOMPARE(QStringList({Dialog.efFilename->text(), Dialog.cbFiletype->currentText(),
                              QString::number(Dialog.seFilesize->value()), Dialog.lbfilesize->text()}),
                 QStringList({"GAME", "PRG", "33", "* (real filesize is 8138 byte)"}));
        QVERIFY(Dialog.cbClosed->isChecked() && !Dialog.cbLocked->isChecked() &&
                !Dialog.Button1->isEnabled());
        QCOMPARE(TFilePropValues::RealSizeNote(std::nullopt), QString("* (real filesize not known)"));
        // Every type code: 5-7 show "?", which writes back the unknown kind.
        QStringList Items;
        for (int Code = 0; Code < 8; ++Code) {
            Entry[2] = static_cast<uint8_t>(0x40 | Code);
            const TFilePropValues Typed = TFilePropValues::FromEntry(*Disk, Entry);
            QVERIFY(Typed.Locked && !Typed.Closed);
            Dialog.SetValues(Typed);
            Items << Dialog.cbFiletype->currentText();
        }
        QCOMPARE(Items, QStringList({"DEL", "SEQ", "PRG", "USR", "REL", "?", "?", "?"}));
        QCOMPARE(TFilePropValues::KindOfItem(TFilePropValues::UnknownItem), fkUnknown);
        QCOMPARE(TFilePropValues::KindOfItem(TFilePropValues::RelItem), fkRel);
    }

    void fileNameKeyRuleAndSize() {
        TFilePropertiesDlg Dialog(Prompts, nullptr);
        Dialog.SetValues({});
        Dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&Dialog));
        // The disk label's rule: plain letters give the C64's capitals (ASCII upper case),
        // shifted ones the shifted set; characters without a PETSCII byte stay out.
        QTest::keyClicks(Dialog.efFilename, "ab");
        QTest::keyClick(Dialog.efFilename, 'A', Qt::ShiftModifier);
        QTest::sendKeyEvent(QTest::Click, Dialog.efFilename, Qt::Key_unknown, QString(QChar(0x20AC)), {});
        QCOMPARE(Dialog.Values().Name, PetsciiString("ABa"));
        QCOMPARE(Dialog.efFilename->maxLength(), 16);
        // Beyond the range the bound counts, an emptied size counts as 0.
        Dialog.seFilesize->setFocus();
        Dialog.seFilesize->selectAll();
        QTest::keyClicks(Dialog.seFilesize, "70000");
        QTest::keyClick(Dialog.seFilesize, Qt::Key_Enter);
        QCOMPARE(Dialog.Values().Blocks, 65535);
        Dialog.show();
        Dialog.seFilesize->setFocus();
        QTest::keyClick(Dialog.seFilesize, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Dialog.seFilesize, Qt::Key_Delete);
        QTest::keyClick(Dialog.seFilesize, Qt::Key_Enter);
        QCOMPARE(Dialog.Values().Blocks, 0);
    }

    void typingAfterOpeningReplacesTheName() {
        // Keys go wherever the focus is when the dialog has opened, as a user's do.
        const auto TypeNew = [](QDialog& Dialog) {
            QVERIFY(QTest::qWaitForWindowActive(&Dialog));
            QTest::keyClicks(QApplication::focusWidget(), "new");
            Dialog.accept();
        };
        TDiskPropValues Disk;
        Disk.DiskName = "TEST DISK";
        WhenOpen<TDiskPropDlg>(TypeNew);
        QCOMPARE(TDiskPropDlg::Execute(Prompts, nullptr, Disk)->DiskName, PetsciiString("NEW"));
        TFilePropValues File;
        File.Name = "GAME";
        WhenOpen<TFilePropertiesDlg>(TypeNew);
        QCOMPARE(TFilePropertiesDlg::Execute(Prompts, nullptr, File)->Name, PetsciiString("NEW"));
    }
};

QTEST_MAIN(PropertiesDlgTest)
#include "PropertiesDlgTest.moc"
