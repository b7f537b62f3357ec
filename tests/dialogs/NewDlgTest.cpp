// TNewDlg driven through real key and mouse events and the scripted prompts: what it shows
// first, where Tab goes, what the label fields store for each key, how the track count
// governs the format, what the kind changes, what the file and character buttons do, and
// what OK and Cancel hand back to the new-disk command.
#include "NewDlg.h"
#include "C64CharacterMap.h"
#include "CharacterDlgUnit.h"
#include "DisknameKeyFilter.h"
#include "PetsciiText.h"
#include "ScriptedPrompts.h"
#include "WhenOpen.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QRadioButton* Item(QGroupBox* Group, int Index) {
    return Group->findChildren<QRadioButton*>().at(Index);
}

std::string Bytes(const QLineEdit* Edit) {
    return PetsciiText::FromDisplay(Edit->text());
}

} // namespace

class NewDlgTest : public QObject {
    Q_OBJECT

    ScriptedPrompts Prompts;
    std::unique_ptr<TNewDlg> Dialog;

    void Show() {
        Dialog = std::make_unique<TNewDlg>(Prompts, nullptr);
        Dialog->show();
        Dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Dialog.get()));
    }

  private slots:
    void initTestCase() {
        for (const char* File : {"CBM64_G.fon", "CBM64_S.fon"})
            QVERIFY(QFontDatabase::addApplicationFont(QString(KBM_FONT_DIR "/") + File) != -1);
    }
    void init() { Prompts.Clear(); }
    void cleanup() { Dialog.reset(); }

    void startsFromTheFormDefaultsTabbingInOrder() {
        Show();
        QCOMPARE(Dialog->windowTitle(), QString("Create New Disk"));
        QCOMPARE(Dialog->size(), QSize(339, 229));
        QCOMPARE(QList<int>({Dialog->Diskname->maxLength(), Dialog->DiskID->maxLength()}),
                 QList<int>({16, 5}));
        QCOMPARE(QFontInfo(Dialog->DiskID->font()).family(), QString("CBM64 Big/Graphic"));
        QVERIFY(Item(Dialog->DiskFormat, 0)->isChecked() && !Dialog->DiskFormat->isEnabled());
        QVERIFY(Dialog->Values() == TNewDiskValues{});
        QCOMPARE(Dialog->Values().DiskName, std::string("UNNAMED"));
        QStringList Shown{Dialog->DiskID->text(), Dialog->Filename->text()};
        for (QWidget* Control : Dialog->findChildren<QWidget*>())
            if (!Control->toolTip().isEmpty()) Shown.append(Control->toolTip());
        QCOMPARE(Shown, (QStringList{"01 2A", "Unnamed.d64", "Label of the Disk",
                                     "Disk ID and DOS Type Strings", "Open Character Dialog",
                                     "Filename of the Disk", "Open File Dialog", "Number of Tracks on Disk",
                                     "Format of Disk", "Include error byte for each sector"}));
        // Tab passes over the speed buttons and the disabled format group.
        const auto Walk = [](QWidget* From, int Steps) {
            From->setFocus();
            QList<QWidget*> Visited{From};
            for (int I = 0; I < Steps; ++I) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                Visited.append(QApplication::focusWidget());
            }
            return Visited;
        };
        QCOMPARE(
            Walk(Dialog->Diskname, 7),
            (QList<QWidget*>{Dialog->Diskname, Dialog->DiskID, Dialog->Filename, Item(Dialog->DiskType, 0),
                             Dialog->ErrorBytes, Dialog->OKBtn, Dialog->CancelBtn, Dialog->Diskname}));
        QTest::mouseClick(Item(Dialog->DiskType, 1), Qt::LeftButton);
        QCOMPARE(Walk(Dialog->Filename, 3),
                 (QList<QWidget*>{Dialog->Filename, Item(Dialog->DiskType, 1), Item(Dialog->DiskFormat, 0),
                                  Dialog->ErrorBytes}));
    }

    void labelFieldsSwapLetterCase() {
        Show();
        Dialog->Diskname->clear();
        QTest::keyClicks(Dialog->Diskname, "abc");
        QTest::keyClick(Dialog->Diskname, 'A', Qt::ShiftModifier);
        QTest::keyClicks(Dialog->Diskname, "z@[1 ");
        QTest::keyClick(Dialog->Diskname, Qt::Key_Backspace); // control keys pass unchanged
        QCOMPARE(Bytes(Dialog->Diskname), std::string("ABCaZ@[1"));
        QTest::keyClick(Dialog->DiskID, Qt::Key_A, Qt::ControlModifier); // select all
        QTest::keyClicks(Dialog->DiskID, "ab");
        // A character without a PETSCII byte is kept out, typed or pasted; a picked one is not.
        QTest::sendKeyEvent(QTest::Click, Dialog->DiskID, Qt::Key_unknown, QString(QChar(0x20AC)), {});
        for (char16_t Pasted : {char16_t(0x20AC), char16_t(0xFF)}) {
            QApplication::clipboard()->setText(QString(QChar(Pasted)));
            Dialog->DiskID->paste();
        }
        QCOMPARE(Bytes(Dialog->DiskID), std::string("AB\xFF"));
        QCOMPARE(Dialog->DiskID->text().size(), 3);
        QChar Key = 'q';
        TDisknameKeyFilter::DisknameKeyPress(Key); // the rule as the other label dialogs use it
        QCOMPARE(Key, QChar('Q'));
    }

    void okHandsTheChoicesBackCancelNothing() {
        WhenOpen<TNewDlg>([](TNewDlg& Shown) {
            Shown.Filename->clear();
            QTest::keyClicks(Shown.Filename, "games");
            QTest::mouseClick(Item(Shown.DiskType, 1), Qt::LeftButton);
            QVERIFY(Shown.DiskFormat->isEnabled());
            QTest::mouseClick(Item(Shown.DiskFormat, 1), Qt::LeftButton);
            QTest::mouseClick(Shown.ErrorBytes, Qt::LeftButton);
            QTest::mouseClick(Shown.OKBtn, Qt::LeftButton);
        });
        std::optional<TNewDiskValues> Result = TNewDlg::Execute(Prompts, nullptr);
        QVERIFY(Result && Result->Filename == "games");
        QCOMPARE(Result->DiskType(), dt40TracksErrorInfo);
        QCOMPARE(Result->DosEmulation(), deDolphinDos);
        // Back to 35 tracks: the format is disabled but keeps its item, and is ignored.
        WhenOpen<TNewDlg>([](TNewDlg& Shown) {
            QTest::mouseClick(Item(Shown.DiskType, 0), Qt::LeftButton);
            QVERIFY(!Shown.DiskFormat->isEnabled() && Item(Shown.DiskFormat, 1)->isChecked());
            QTest::keyClick(Shown.Diskname, Qt::Key_Return); // the default button
        });
        Result = TNewDlg::Execute(Prompts, nullptr, *Result);
        QVERIFY(Result && Result->DiskType() == dt35TracksErrorInfo && Result->DosEmulation() == deCbmDos);
        const TNewDiskValues Given{"\x01GAME\xA9", "AB", "/nonexistent/x.d64", false, true, false};
        WhenOpen<TNewDlg>([](TNewDlg& Shown) { QTest::mouseClick(Shown.OKBtn, Qt::LeftButton); });
        QVERIFY(TNewDlg::Execute(Prompts, nullptr, Given) == Given);
        WhenOpen<TNewDlg>([](TNewDlg& Shown) {
            QTest::keyClicks(Shown.Diskname, "x");
            QTest::keyClick(Shown.Diskname, Qt::Key_Escape);
        });
        QVERIFY(!TNewDlg::Execute(Prompts, nullptr));
    }

    void fileButtonFillsTheFilename() {
        Show();
        Prompts.SaveFileNames = {"/home/c64/games.d64", ""};
        for (int Run = 0; Run < 2; ++Run) { // chosen, then cancelled: the name stays
            Dialog->OKBtn->setFocus();
            QTest::mouseClick(Dialog->SpeedButton1, Qt::LeftButton);
            QCOMPARE(Dialog->Filename->text(), QString("/home/c64/games.d64"));
            QVERIFY(Dialog->Filename->hasFocus());
        }
        const ScriptedPrompts::TShown& Asked = Prompts.Shown[0];
        QCOMPARE(Asked.Kind, ScriptedPrompts::TKind::SaveFile);
        QCOMPARE(Asked.Text + "|" + Asked.Path + "|" + Asked.DefaultExt, QString("Filename for Disk||d64"));
        QCOMPARE(Asked.Filter, QString("D64 Diskimage (*.d64)|*.d64|All Files (*.*)|*.*"));
        QVERIFY(Prompts.Unexpected.isEmpty());
    }

    // The kind takes its own extension and DOS type where the fields hold the former kind's.
    void kindSetsExtensionAndDosType() {
        Show();
        const auto Fields = [this] { return Dialog->Filename->text() + " " + Dialog->DiskID->text(); };
        Prompts.SaveFileNames = {""};
        QTest::mouseClick(Item(Dialog->DiskType, 1), Qt::LeftButton);
        QTest::mouseClick(Item(Dialog->DiskType, 3), Qt::LeftButton);
        QVERIFY(!Dialog->DiskFormat->isEnabled());
        QCOMPARE(Fields(), QString("Unnamed.d81 01 3D"));
        QTest::mouseClick(Dialog->SpeedButton1, Qt::LeftButton);
        QCOMPARE(Prompts.Shown[0].Filter + "|" + Prompts.Shown[0].DefaultExt,
                 QString("D81 Diskimage (*.d81)|*.d81|All Files (*.*)|*.*|d81"));
        Dialog->Filename->setText("games");
        const TNewDiskValues Chosen = Dialog->Values(); // the 40 tracks chosen before do not count
        QVERIFY(Chosen.DiskType() == dtD81 && Chosen.DosEmulation() == deCbmDos);
        QCOMPARE(Chosen.HostFileName(), std::string("games.d81"));
        Dialog->Filename->setText("Unnamed.D81");
        Dialog->DiskID->setText("01 3X"); // the user's own
        QTest::mouseClick(Item(Dialog->DiskType, 2), Qt::LeftButton);
        QCOMPARE(Fields(), QString("Unnamed.d71 01 3X"));
        QCOMPARE(Dialog->Values().DiskType(), dt71);
    }

    void characterButtonPutsThePickOnTheClipboard() {
        Show();
        WhenOpen<TCharacterDlg>([this](TCharacterDlg& Picker) {
            QCOMPARE(Picker.parentWidget(), Dialog.get());
            QTest::mouseClick(Picker.C64CharacterMap1, Qt::LeftButton, {}, QPoint(13 * 19 + 9, 19 + 9));
            QTest::mouseClick(Picker.bOk, Qt::LeftButton);
        });
        QTest::mouseClick(Dialog->character, Qt::LeftButton);
        QCOMPARE(Prompts.ClipboardText, QString("A"));
        // The dialog's own fields stay as they were: the user pastes where the character goes.
        QVERIFY(Dialog->Values() == TNewDiskValues{});
    }
};

QTEST_MAIN(NewDlgTest)
#include "NewDlgTest.moc"
