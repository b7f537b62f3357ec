// The emulator options dialog: filled from the settings on the page of the current
// emulator, read back as the user left it, and the browse buttons.
#include "EmuDlg.h"
#include "ScriptedPrompts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

class EmuDlgTest : public QObject {
    Q_OBJECT

    ScriptedPrompts Prompts;
    TEmulatorSettings CCS64{"/opt/ccs64/ccs64", true, false, true};
    TEmulatorSettings WinVice{"/usr/bin/x64sc", false, true, false};

    template <typename T = QWidget> static T* Find(TEmuDlg& Dialog, const char* Name) {
        T* Control = Dialog.findChild<T*>(Name);
        if (!Control) qFatal("no control %s", Name);
        return Control;
    }
    static QRadioButton* Item(TEmuDlg& Dialog, const char* Group, int Index) {
        return Find<QGroupBox>(Dialog, Group)->findChildren<QRadioButton*>().at(Index);
    }

  private slots:
    void fillOpensPageAndReadsBack() {
        TEmuDlg Dialog(Prompts);
        auto* Pages = Find<QTabWidget>(Dialog, "EmulatorPages");
        for (const auto& [Current, Page] : {std::pair{2, "Vice_Page"}, {3, "Frodo_Page"}, {0, "CCS_Page"}}) {
            Dialog.Fill(CCS64, WinVice, Current);
            QCOMPARE(Pages->currentWidget()->objectName(), QString(Page));
        }
        QVERIFY(Item(Dialog, "rgStartMethod1", 0)->isChecked() &&
                Item(Dialog, "rgLoadMethod1", 0)->isChecked() &&
                Item(Dialog, "rgLoadMethod2", 1)->isChecked());
        TEmulatorSettings Ccs, Vice;
        Dialog.ReadBack(Ccs, Vice);
        QVERIFY(Ccs.Location == CCS64.Location && Ccs.AutoRun && !Ccs.FastLoad && Ccs.Windowed);
        QVERIFY(Vice.Location == WinVice.Location && Vice.FastLoad);
        // Paths exactly as typed; every choice flipped.
        Find<QLineEdit>(Dialog, "edEmuLocation1")->setText(" ccs64 ");
        QTest::mouseClick(Find<QCheckBox>(Dialog, "cbWindowed1"), Qt::LeftButton);
        for (const auto& [Group, Index] :
             {std::pair{"rgStartMethod1", 1}, {"rgLoadMethod1", 1}, {"rgLoadMethod2", 0}})
            Item(Dialog, Group, Index)->click();
        Dialog.ReadBack(Ccs, Vice);
        QVERIFY(Ccs.Location == " ccs64 " && !Ccs.AutoRun && Ccs.FastLoad && !Ccs.Windowed && !Vice.FastLoad);
    }

    void vicePageFillsAndReadsBack() {
        TEmuDlg Dialog(Prompts);
        Dialog.Fill(CCS64, WinVice, 4);
        QCOMPARE(Find<QTabWidget>(Dialog, "EmulatorPages")->currentWidget()->objectName(),
                 QString("X64_Page"));
        Dialog.FillVice({"~/x64sc", false, true, false, true});
        QVERIFY(Item(Dialog, "rgStartMethod3", 1)->isChecked() &&
                Item(Dialog, "rgLoadMethod3", 1)->isChecked());
        for (const char* Box : {"cbTrueDrive3", "cbWindowed3"})
            Find<QCheckBox>(Dialog, Box)->click();
        Item(Dialog, "rgStartMethod3", 0)->click();
        Item(Dialog, "rgLoadMethod3", 0)->click();
        TViceSettings Vice;
        Dialog.ReadBackVice(Vice);
        QVERIFY(Vice.Location == "~/x64sc" && Vice.AutoRun && !Vice.FastLoad && Vice.TrueDrive &&
                !Vice.Windowed);
    }

    void browseFillsTheEditOfItsButton() {
        TEmuDlg Dialog(Prompts);
        Dialog.Fill(CCS64, WinVice, 2);
        Dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&Dialog));
        Prompts.OpenFileNames = {"/usr/local/bin/x64sc", ""};
        QTest::mouseClick(Find<QPushButton>(Dialog, "Button2"), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(Dialog, "edEmuLocation2")->text(), QString("/usr/local/bin/x64sc"));
        QVERIFY(Find(Dialog, "edEmuLocation2")->hasFocus());
        QCOMPARE(Prompts.Shown.at(0).Text, QString("Find Emulator"));
        QVERIFY(Prompts.Shown.at(0).ProgramsOnly);
        Dialog.Button1Click(1); // cancelled: nothing changes
        QCOMPARE(Find<QLineEdit>(Dialog, "edEmuLocation1")->text(), QString("/opt/ccs64/ccs64"));
        // Each opens in its program's folder; /usr/bin when there is none.
        Dialog.FillVice({"/nowhere/x64sc"});
        Prompts.OpenFileNames = {"", ""};
        Dialog.Button1Click(3);
        Find<QLineEdit>(Dialog, "edEmuLocation1")->setText("/tmp/ccs64");
        Dialog.Button1Click(1);
        QCOMPARE(Prompts.Shown.at(0).Path, QString("/usr/bin"));
        QCOMPARE(Prompts.Shown.at(2).Path, QString("/usr/bin"));
        QCOMPARE(Prompts.Shown.at(3).Path, QString("/tmp"));
        QVERIFY(Prompts.Unexpected.isEmpty());
    }
};

QTEST_MAIN(EmuDlgTest)
#include "EmuDlgTest.moc"
