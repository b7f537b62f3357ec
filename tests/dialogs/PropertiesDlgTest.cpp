// The disk and file properties dialogs: what they show for images built with the engine
// (35/40 tracks, error bytes, SpeedDOS/DolphinDOS, protection, unusual IDs and types),
// their fields and keys, and the values they hand back.
#include "C64CharacterMap.h"
#include "CharacterDlgUnit.h"
#include "DiskPropDlg.h"
#include "FilePropDlg.h"
#include "PetsciiText.h"
#include "ScriptedPrompts.h"
#include "TestDisks.h"
#include "WhenOpen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace TestDisks;

namespace {

std::string Bytes(const QLineEdit* Edit) {
    return PetsciiText::FromDisplay(Edit->text());
}

} // namespace

class PropertiesDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    ScriptedPrompts Prompts;

    // What the disk properties dialog shows for a disk, one line of texts.
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
    void init() { Prompts.Clear(); }

    void diskDialogShowsEachKindOfImage() {
        const QString Path = Dir.filePath("std.d64");
        const std::shared_ptr<TC64Disk> Standard = NewDisk(Path);
        QCOMPARE(Shown(*Standard),
                 QStringList({"35", "Not Included", "disabled", "CBM Dos", "8670", "664", "open", "01 2A"}));
        TDiskPropDlg Dialog(Prompts, nullptr);
        QCOMPARE(Dialog.windowTitle(), QString("Disk Properties"));
        Dialog.SetValues(TDiskPropValues::FromDisk(*Standard));
        QCOMPARE(Dialog.windowTitle(), "Disk Properties - " + Path);
        QCOMPARE(Dialog.size(), QSize(382, 216));

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
        const auto Values = [&](const char Id[3], const char Type[2]) {
            std::memcpy(Header + 162, Id, 3);
            std::memcpy(Header + 165, Type, 2);
            return TDiskPropValues::FromDisk(*Disk);
        };
        // The standard header: ID, 0xA0, type. Shown padded, handed back with its 0xA0.
        TDiskPropValues Standard = Values("01\xA0", "2A");
        QCOMPARE(Standard.DiskID, PetsciiString("01 2A"));
        QCOMPARE(Standard.IdPart() + "|" + Standard.DosTypePart(), PetsciiString("01|2A"));
        Standard.DiskID = "02 3B"; // edited: the padding space still is padding
        QCOMPARE(Standard.IdPart() + "|" + Standard.DosTypePart(), PetsciiString("02|3B"));
        Standard.DiskID = "023"; // a third character typed over the padding
        QCOMPARE(Standard.IdPart() + "|" + Standard.DosTypePart(), PetsciiString("023|"));
        // A real space in the ID area stays a space.
        const TDiskPropValues Spaced = Values("01 ", "2A");
        QCOMPARE(Spaced.DiskID, PetsciiString("01 2A"));
        QCOMPARE(Spaced.IdPart(), PetsciiString("01 "));
        // No DOS type: the ID alone, unpadded.
        const TDiskPropValues Bare = Values("AB\xA0", "\xA0\xA0");
        QCOMPARE(Bare.DiskID + "|" + Bare.IdPart() + "|" + Bare.DosTypePart(), PetsciiString("AB|AB|"));
        const TDiskPropValues Short = Values("A\xA0\xA0", "2A");
        QCOMPARE(Short.DiskID + "|" + Short.IdPart(), PetsciiString("A  2A|A"));
    }

    void diskDialogFieldsAndValuesHandedBack() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("edit.d64"), dt40Tracks, deSpeedDos);
        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) {
            QCOMPARE(Shown.DiskID->maxLength(), 5);
            QCOMPARE(Shown.Diskname->maxLength(), 16);
            Shown.Diskname->clear();
            QTest::keyClicks(Shown.Diskname, "new");
            QTest::keyClick(Shown.Diskname, 'A', Qt::ShiftModifier);
            Shown.FreeBlocks->setFocus();
            Shown.FreeBlocks->selectAll();
            QTest::keyClicks(Shown.FreeBlocks, "99999");
            QTest::mouseClick(Shown.SWProtect, Qt::LeftButton);
            Shown.DosEmu->setCurrentIndex(2);
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        std::optional<TDiskPropValues> Edited =
            TDiskPropDlg::Execute(Prompts, nullptr, TDiskPropValues::FromDisk(*Disk));
        QVERIFY(Edited);
        QCOMPARE(Edited->DiskName, PetsciiString("NEWa")); // the letter-case rule
        QCOMPARE(Edited->FreeBlocks, 9945);                // 9999 typed, brought to the bound
        QVERIFY(Edited->SoftWriteProtected);
        QCOMPARE(Edited->DosEmuItem, int(deDolphinDos));
        // Text typed into the list selects no item; Cancel hands back nothing.
        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) {
            Shown.DosEmu->lineEdit()->selectAll();
            QTest::keyClicks(Shown.DosEmu->lineEdit(), "Speedy");
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(TDiskPropDlg::Execute(Prompts, nullptr, TDiskPropValues::FromDisk(*Disk))->DosEmuItem, -1);
        WhenOpen<TDiskPropDlg>([](TDiskPropDlg& Shown) { QTest::keyClick(Shown.Diskname, Qt::Key_Escape); });
        QVERIFY(!TDiskPropDlg::Execute(Prompts, nullptr, TDiskPropValues::FromDisk(*Disk)));
    }

    void fileDialogShowsTheEntry() {
        const std::shared_ptr<TC64Disk> Disk = NewDisk(Dir.filePath("files.d64"));
        uint8_t* Entry = AddFile(*Disk, "GAME", 254 * 32 + 10);
        TFilePropValues Values = TFilePropValues::FromEntry(*Disk, Entry);
        Values.SizeNote = TFilePropValues::RealSizeNote(Disk->GetRealFileSize(Entry));
        TFilePropertiesDlg Dialog(Prompts, nullptr);
        Dialog.SetValues(Values);
        QCOMPARE(QStringList({Dialog.efFilename->text(), Dialog.cbFiletype->currentText(),
                              QString::number(Dialog.seFilesize->value()), Dialog.lbfilesize->text()}),
                 QStringList({"GAME", "PRG", "33", "* (real filesize is 8138 byte)"}));
        QVERIFY(Dialog.cbClosed->isChecked() && !Dialog.cbLocked->isChecked());
        QVERIFY(!Dialog.Button1->isEnabled());
        QCOMPARE(Dialog.seFilesize->maximum(), 65535);
        QCOMPARE(TFilePropValues::RealSizeNote(std::nullopt), QString("* (real filesize not known)"));
        // Every type code, with the flags: codes 5-7 show "?", which writes back the unknown kind.
        QStringList Items;
        for (int Code = 0; Code < 8; ++Code) {
            Entry[2] = static_cast<uint8_t>(0x40 | Code);
            const TFilePropValues Typed = TFilePropValues::FromEntry(*Disk, Entry);
            QVERIFY(Typed.Locked && !Typed.Closed);
            Dialog.SetValues(Typed);
            Items << Dialog.cbFiletype->currentText();
            QCOMPARE(Dialog.cbFiletype->currentIndex(),
                     TFilePropValues::ItemOfKind(Disk->DecodeFileType(Entry[2]).Kind));
        }
        QCOMPARE(Items, QStringList({"DEL", "SEQ", "PRG", "USR", "REL", "?", "?", "?"}));
        QCOMPARE(TFilePropValues::KindOfItem(TFilePropValues::UnknownItem), fkUnknown);
        QCOMPARE(TFilePropValues::KindOfItem(TFilePropValues::RelItem), fkRel);
    }

    void fileNameStoresTheCodesAsTyped() {
        TFilePropValues Initial;
        Initial.Name = "OLD";
        Initial.TypeItem = TFilePropValues::SeqItem;
        WhenOpen<TFilePropertiesDlg>([](TFilePropertiesDlg& Shown) {
            QCOMPARE(Shown.efFilename->maxLength(), 16);
            Shown.efFilename->clear();
            QTest::keyClicks(Shown.efFilename, "ab");
            QTest::keyClick(Shown.efFilename, 'A', Qt::ShiftModifier);
            // A character without a PETSCII byte is kept out.
            QTest::sendKeyEvent(QTest::Click, Shown.efFilename, Qt::Key_unknown, QString(QChar(0x20AC)), {});
            QCOMPARE(Bytes(Shown.efFilename), std::string("abA"));
            Shown.cbFiletype->setCurrentIndex(TFilePropValues::UsrItem);
            QTest::mouseClick(Shown.cbLocked, Qt::LeftButton);
            // Beyond the range the bound counts.
            Shown.seFilesize->setFocus();
            Shown.seFilesize->selectAll();
            QTest::keyClicks(Shown.seFilesize, "70000");
            QTest::keyClick(Shown.seFilesize, Qt::Key_Return);
        });
        std::optional<TFilePropValues> Edited = TFilePropertiesDlg::Execute(Prompts, nullptr, Initial);
        QVERIFY(Edited && Edited->Name == "abA" && Edited->Locked && !Edited->Closed);
        QCOMPARE(Edited->TypeItem, int(TFilePropValues::UsrItem));
        QCOMPARE(Edited->Blocks, 65535);
        // An emptied size counts as 0.
        Initial.Blocks = 12;
        WhenOpen<TFilePropertiesDlg>([](TFilePropertiesDlg& Shown) {
            Shown.seFilesize->setFocus();
            QTest::keyClick(Shown.seFilesize, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(Shown.seFilesize, Qt::Key_Delete);
            QTest::keyClick(Shown.seFilesize, Qt::Key_Return);
        });
        Edited = TFilePropertiesDlg::Execute(Prompts, nullptr, Initial);
        QVERIFY(Edited && Edited->Blocks == 0);
    }

    void characterButtonsPutThePickOnTheClipboard() {
        TDiskPropDlg DiskDialog(Prompts, nullptr);
        TFilePropertiesDlg FileDialog(Prompts, nullptr);
        for (QToolButton* Button : {DiskDialog.bChar, FileDialog.SpeedButton1}) {
            QCOMPARE(Button->toolTip(), QString("Open Character Dialog"));
            WhenOpen<TCharacterDlg>([](TCharacterDlg& Picker) {
                QTest::mouseClick(Picker.C64CharacterMap1, Qt::LeftButton, {}, QPoint(13 * 19 + 9, 19 + 9));
                QTest::mouseClick(Picker.bOk, Qt::LeftButton);
            });
            Prompts.ClipboardText.clear();
            Button->click();
            QCOMPARE(Prompts.ClipboardText, QString("A"));
        }
    }
};

QTEST_MAIN(PropertiesDlgTest)
#include "PropertiesDlgTest.moc"
