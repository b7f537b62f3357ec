// The emulator commands of the main window: the argument strings handed to each
// emulator, the pane and row they come from, finding the program, the messages when it
// cannot start or stops at once, choosing the emulator, the options dialog and the
// About box.
#include "D64StringGrid.h"
#include "EmuDlg.h"
#include "FixedSystemInfo.h"
#include "InfoDlg.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "QtFontInstaller.h"
#include "RecordingProcessStarter.h"
#include "ScriptedPrompts.h"
#include "WindowsCommandLine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

std::string Local(const QString& Path) {
    return QFile::encodeName(Path).toStdString();
}

QString PageOf(TEmuDlg& Dialog) {
    return Dialog.findChild<QTabWidget*>("EmulatorPages")->currentWidget()->objectName();
}

} // namespace

class MainEmulatorTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    ScriptedPrompts Prompts;
    MemorySettingsStore Store;
    QtFontInstaller Fonts; // asked for nothing unless the window closes
    TRecordingProcessStarter Recorder;
    TFixedSystemInfo System;
    std::unique_ptr<TMainForm> Form;
    QString Games;

    void ShowForm(IProcessStarter& Processes) {
        Form = std::make_unique<TMainForm>(Prompts, Store, Fonts, Processes, System);
        Form->show();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
    }

    TD64StringGrid* View(int Side) const { return Side == 1 ? Form->LeftView() : Form->RightView(); }

    // Opens through the dialog on a side and moves the cursor down to a row by key.
    void OpenOn(int Side, const QString& Path, int Row = 1) {
        View(Side)->SetFocus();
        Prompts.OpenFileNames.push_back(Path);
        Form->OpenD641Click();
        for (int Step = 1; Step < Row; ++Step)
            QTest::keyClick(View(Side), Qt::Key_Down);
    }

    // An empty file standing in for an emulator's executable.
    QString Emulator(const QString& Name) {
        const QString Path = Dir.filePath(Name);
        QDir().mkpath(QFileInfo(Path).path());
        QFile(Path).open(QIODevice::WriteOnly);
        return Path;
    }

    QAction* Item(const QString& Caption) const {
        for (QAction* Action : Form->findChildren<QAction*>())
            if (Action->text() == Caption) return Action;
        return nullptr;
    }

    // Triggers Command and runs Act on the modal dialog it shows (Act closes it).
    template <typename TDialog>
    void WithDialog(const QString& Command, const std::function<void(TDialog&)>& Act) {
        bool Seen = false;
        QTimer::singleShot(0, Form.get(), [&] {
            auto* Dialog = qobject_cast<TDialog*>(QApplication::activeModalWidget());
            QVERIFY(Dialog);
            Seen = true;
            Act(*Dialog);
        });
        Item(Command)->trigger();
        QVERIFY(Seen);
        // The offscreen platform hands the activation back to no one.
        Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
    }

    std::string Last() const {
        return Recorder.Starts.empty() ? "<none>" : Recorder.Starts.back().CommandLine;
    }

  private slots:
    void init() {
        QVERIFY(Dir.isValid());
        Prompts.Clear();
        Store.Values.clear();
        Recorder = TRecordingProcessStarter();
        // One small program per name, in this order.
        std::unique_ptr<TC64Disk> Disk =
            TC64Disk::CreateDiskImage(Local(Dir.filePath("games.d64")), dt35Tracks, deCbmDos);
        for (const PetsciiString& Name : {"ALPHA", "BETA", "FROGGER", "Q\"UOTE", "AB\xC1\xE9"}) {
            uint8_t Entry[32] = {0, 0, 0x82};
            StringToPetscii(Name, Entry + 5, 15);
            Disk->AddFile(ByteArray{0x01, 0x08, 0x60}, Entry);
        }
        Disk->Save();
        Games = Dir.filePath("games.d64");
        Store.Values["CCS64"] = Emulator("ccs/ccs64.exe");
        Store.Values["WinVice"] = Emulator("vice/x64sc");
        Store.Values["Frodo"] = Emulator("frodo/Frodo");
        Store.Values["Vice"] = Emulator("x64/x64sc");
    }

    void cleanup() {
        Form.reset();
        QVERIFY2(Prompts.Unexpected.isEmpty(), qPrintable(Prompts.Unexpected.join('\n')));
    }

    void argumentStringsOfEachEmulator() {
        const std::string P = Local(Games);
        struct TCase {
            int Current, Windowed, Fast, Auto;
            Qt::Key Key; // R runs, B boots
            const char* Program;
            std::string Arguments;
        };
        const TCase Cases[] = {
            {1, 1, 1, 1, Qt::Key_R, "ccs/ccs64.exe", " \"" + P + "\",2 -window -fastload -autorun "},
            {1, 0, 0, 0, Qt::Key_B, "ccs/ccs64.exe", " \"" + P + "\" -normalload -manualrun "},
            {2, 0, 1, 0, Qt::Key_R, "vice/x64sc", " +truedrive \"" + P + ":frogger\" "},
            {2, 0, 0, 0, Qt::Key_B, "vice/x64sc", " -truedrive \"" + P + "\" "},
            {3, 0, 0, 0, Qt::Key_R, "frodo/Frodo", ""},
            {3, 0, 0, 0, Qt::Key_B, "frodo/Frodo", ""},
            {4, 1, 1, 1, Qt::Key_R, "x64/x64sc",
             " -drive8truedrive -autostart-warp +fullscreen -autostart \"" + P + ":frogger\""},
            {4, 0, 0, 0, Qt::Key_B, "x64/x64sc",
             " +drive8truedrive +autostart-warp -fullscreen -autoload \"" + P + "\""},
            {4, 1, 0, 0, Qt::Key_R, "x64/x64sc",
             " -drive8truedrive +autostart-warp +fullscreen -autoload \"" + P + ":frogger\""}};
        for (const TCase& Case : Cases) {
            Store.Values["CCS64_windowed"] = Store.Values["Vice_windowed"] = Case.Windowed;
            Store.Values["CCS64_fast"] = Store.Values["WinVice_fast"] = Store.Values["Vice_fast"] = Case.Fast;
            Store.Values["CCS64_run"] = Store.Values["Vice_run"] = Case.Auto;
            Store.Values["Vice_truedrive"] = Case.Windowed;
            Store.Values["Emulator"] = QByteArray(1, char(Case.Current));
            Recorder.Starts.clear();
            ShowForm(Recorder);
            OpenOn(1, Games, 3);
            QTest::keyClick(View(1), Case.Key, Qt::ControlModifier);
            QCOMPARE(Recorder.Starts.size(), std::size_t(1));
            QCOMPARE(Recorder.Starts[0].CommandLine, Case.Arguments);
            QCOMPARE(Recorder.Starts[0].Program, Local(Dir.filePath(Case.Program)));
            QCOMPARE(Recorder.Starts[0].WorkingDir, Local(QFileInfo(Dir.filePath(Case.Program)).path()));
        }
        QVERIFY(Prompts.Messages().isEmpty());
    }

    void paneAndRowEdgeCases() {
        const std::string P = Local(Games);
        const QString Empty = Dir.filePath("empty.d64");
        TC64Disk::CreateDiskImage(Local(Empty), dt35Tracks, deCbmDos)->Save();
        Store.Values["Emulator"] = QByteArray(1, 2);
        ShowForm(Recorder);
        // The right pane has no image: with the right side active, nothing happens.
        OpenOn(1, Games, 5);
        View(2)->SetFocus();
        Form->RunClick();
        QVERIFY(Recorder.Starts.empty() && Prompts.Messages().isEmpty());

        // Bytes other than A to Z reach WinVice as they are; Return and double-click run.
        View(1)->SetFocus();
        QTest::keyClick(View(1), Qt::Key_Return);
        QCOMPARE(Last(), " +truedrive \"" + P + ":ab\xC1\xE9\" ");
        // A quote inside a name is escaped, so the emulator still reads one argument.
        const QPoint Row4(40, View(1)->RowHeight(0) + 3 * View(1)->RowHeight(1) + 3);
        QTest::mouseClick(View(1)->viewport(), Qt::LeftButton, {}, Row4);
        QTest::mouseDClick(View(1)->viewport(), Qt::LeftButton, {}, Row4);
        QCOMPARE(Last(), " +truedrive \"" + P + ":q\\\"uote\" ");
        // Boot ignores the row.
        Form->BootDisk1Click();
        QCOMPARE(Last(), " +truedrive \"" + P + "\" ");

        // No files: row 1, index 0, an empty name; also in a grid that listed files before.
        for (int Side : {2, 1}) {
            OpenOn(Side, Empty);
            Form->RunClick();
            QCOMPARE(Last(), " +truedrive \"" + Local(Empty) + ":\" ");
        }
        QTest::keyClick(View(1), Qt::Key_C, Qt::ControlModifier);
        Form->RunClick();
        QCOMPARE(Last(), " \"" + Local(Empty) + "\",0 -fastload -autorun ");
    }

    void messagesWhenTheEmulatorCannotStart() {
        // Empty, missing, a folder, an unknown emulator: not found, the path on line two.
        const QList<QPair<int, QString>> Cases = {{1, ""},
                                                  {1, Dir.filePath("missing.exe")},
                                                  {1, Dir.filePath("ccs")},
                                                  {7, Dir.filePath("ccs/ccs64.exe")}};
        for (const auto& [Current, Location] : Cases) {
            Store.Values["CCS64"] = Location;
            Store.Values["Emulator"] = QByteArray(1, char(Current));
            Prompts.Clear();
            ShowForm(Recorder);
            OpenOn(1, Games);
            Form->BootDisk1Click();
            QCOMPARE(Prompts.Messages(),
                     QStringList{"Can't find Emulator!\r\n" + (Current == 1 ? Location : "")});
        }
        QVERIFY(Recorder.Starts.empty());
        // The system refuses the start: its error code.
        Store.Values["Emulator"] = QByteArray(1, 1);
        Recorder.ErrorCode = 8;
        Prompts.Clear();
        ShowForm(Recorder);
        OpenOn(1, Games);
        Form->RunClick();
        QCOMPARE(Prompts.Messages(),
                 QStringList{"Error while starting emulator!\r\nError Code 8: Exec format error"});
    }

    void viceIsFoundOnPathAndItsFailuresShown() {
        const QByteArray Path = qgetenv("PATH");
        const QByteArray Home = qgetenv("HOME");
        const QString Bin = Emulator("bin/x64sc");
        QFile(Bin).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(Dir.filePath("nothing") + ":" + Dir.filePath("bin")));
        qputenv("HOME", QFile::encodeName(Dir.path()));
        Store.Values.remove("Vice"); // x64sc, found on PATH
        Store.Values["Emulator"] = QByteArray(1, 4);
        ShowForm(Recorder);
        OpenOn(1, Games);
        Form->BootDisk1Click();
        QVERIFY(Recorder.Starts.size() == 1 && Recorder.Starts[0].Program == Local(Bin));
        QCOMPARE(Recorder.Starts[0].WorkingDir, Local(Dir.filePath("bin")));
        // The emulator stops at once: its status and last lines are shown.
        Recorder.Failures = {{Local(Bin), 1, 0, "x64sc: error\nUnknown option '+truedrive'."}};
        Form->RunClick();
        QVERIFY(QTest::qWaitFor([&] { return !Prompts.Messages().isEmpty(); }, 2000));
        QCOMPARE(Prompts.Messages(),
                 QStringList{"The emulator stopped right after its start!\r\n" + Bin +
                             ": Exit Status 1\r\n\r\nx64sc: error\r\nUnknown option '+truedrive'."});
        Prompts.Clear();
        Recorder.Failures = {{Local(Bin), 0, 11, ""}};
        Form->RunClick();
        QVERIFY(QTest::qWaitFor([&] { return !Prompts.Messages().isEmpty(); }, 2000));
        QCOMPARE(Prompts.Messages(), QStringList{"The emulator stopped right after its start!\r\n" + Bin +
                                                 ": Signal 11 (Segmentation fault)"});
        // "~/" is the home folder; a name that PATH does not hold is not found.
        for (const char* Location : {"~/bin/x64sc", "x64"}) {
            Store.Values["Vice"] = Location;
            Prompts.Clear();
            ShowForm(Recorder);
            OpenOn(1, Games);
            Form->BootDisk1Click();
        }
        QCOMPARE(Recorder.Starts.back().Program, Local(Bin));
        QCOMPARE(Prompts.Messages(), QStringList{"Can't find Emulator!\r\nx64"});
        qputenv("PATH", Path);
        qputenv("HOME", Home);
    }

    void choosingTheEmulator() {
        ShowForm(Recorder);
        QLabel* Panel = Form->EmulatorPanel();
        QCOMPARE(Panel->grab().toImage().pixelColor(6, 11), QColor(79, 68, 216));
        QCOMPARE(Panel->palette().color(Panel->foregroundRole()), QColor(163, 151, 255));
        QTest::keyClick(View(1), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(Item("WinVice")->isChecked() && !Item("&CCS64 Win32")->isChecked());
        QCOMPARE(Form->CurrentEmulatorCode(), 2);
        QCOMPARE(Panel->text(), QString("WINVICE"));
        QTest::keyClick(View(2), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(Item("&CCS64 Win32")->isChecked() && !Item("WinVice")->isChecked());
        QCOMPARE(Panel->text(), QString("CCS64"));
        QTest::mouseClick(Panel, Qt::LeftButton);
        QCOMPARE(Panel->text(), QString("WINVICE"));
        QTest::mouseClick(Panel, Qt::LeftButton);
        QCOMPARE(Panel->text(), QString("VICE"));
        QVERIFY(Item("&VICE")->isChecked() && !Item("WinVice")->isChecked());
        QTest::mouseClick(Panel, Qt::LeftButton);
        QCOMPARE(Form->CurrentEmulatorCode(), 1);
        QTest::keyClick(View(1), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(Form->CurrentEmulatorCode(), 4);

        // Frodo only ever from a stored setting: no radio item, the panel does nothing.
        Store.Values["Emulator"] = QByteArray(1, 3);
        ShowForm(Recorder);
        QCOMPARE(Form->EmulatorPanel()->text(), QString("FRODO"));
        QVERIFY(Item("&Frodo")->isChecked() && Item("&CCS64 Win32")->isChecked());
        QTest::mouseClick(Form->EmulatorPanel(), Qt::LeftButton);
        QCOMPARE(Form->CurrentEmulatorCode(), 3);
        WithDialog<TEmuDlg>("&Options", [](TEmuDlg& Dialog) {
            QCOMPARE(PageOf(Dialog), QString("Frodo_Page"));
            Dialog.reject();
        });
        // Another emulator made current takes Frodo's check away.
        QTest::keyClick(View(1), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(!Item("&Frodo")->isChecked() && Item("WinVice")->isChecked());
    }

    void optionsChangeSettingsOnlyOnOk() {
        Store.Values["Emulator"] = QByteArray(1, 2);
        ShowForm(Recorder);
        const QString Ccs = Emulator("other/ccs64");
        for (const Qt::Key Close : {Qt::Key_Escape, Qt::Key_Return}) {
            WithDialog<TEmuDlg>("&Options", [&](TEmuDlg& Dialog) {
                QCOMPARE(PageOf(Dialog), QString("Vice_Page"));
                QCOMPARE(Dialog.findChild<QLineEdit*>("edEmuLocation2")->text(), Dir.filePath("vice/x64sc"));
                Dialog.findChild<QLineEdit*>("edEmuLocation1")->setText(Ccs);
                Dialog.findChild<QLineEdit*>("edEmuLocation2")->setText("/elsewhere/x64sc");
                Dialog.findChild<QGroupBox*>("rgStartMethod1")->findChildren<QRadioButton*>().at(1)->click();
                Dialog.findChild<QGroupBox*>("rgLoadMethod1")->findChildren<QRadioButton*>().at(0)->click();
                Dialog.findChild<QLineEdit*>("edEmuLocation3")->setText("~/vice/x64sc");
                Dialog.findChild<QCheckBox*>("cbTrueDrive3")->click();
                QTest::keyClick(&Dialog, Close);
            });
            if (Close == Qt::Key_Escape)
                QVERIFY(Form->CCS64().Location != Local(Ccs) && Form->CCS64().AutoRun &&
                        Form->CCS64().FastLoad &&
                        Form->WinVice().Location == Local(Dir.filePath("vice/x64sc")));
        }
        QCOMPARE(Form->WinVice().Location, std::string("/elsewhere/x64sc"));
        QCOMPARE(Form->CurrentEmulatorCode(), 2);
        QTest::keyClick(View(1), Qt::Key_C, Qt::ControlModifier);
        OpenOn(1, Games);
        QTest::keyClick(View(1), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(Last(), " \"" + Local(Games) + "\",0 -normalload -manualrun ");
        QCOMPARE(Recorder.Starts.back().Program, Local(Ccs));
        // VICE's settings too, and they are kept.
        QVERIFY(Form->Vice().Location == "~/vice/x64sc" && !Form->Vice().TrueDrive && Form->Vice().FastLoad);
        Form->close();
        QVERIFY(Store.Values["Vice"] == "~/vice/x64sc" && Store.Values["Vice_truedrive"] == 0);
    }

    // Every option handed to VICE is one that Debian's x64sc lists in its help.
    void viceOptionsAreVicesOwn() {
        const QString X64sc = QStandardPaths::findExecutable("x64sc");
        if (X64sc.isEmpty()) QSKIP("x64sc (Debian's vice, in contrib) is not installed");
        // -console skips VICE's user interface, which needs a display; the help without it too.
        QString Text;
        for (const QStringList& Arguments : {QStringList{"-console", "-help"}, QStringList{"-help"}}) {
            QProcess Help;
            Help.setProcessChannelMode(QProcess::MergedChannels);
            Help.start(X64sc, Arguments);
            QVERIFY(Help.waitForFinished(60000));
            Text += QString::fromLocal8Bit(Help.readAll());
        }
        Store.Values["Emulator"] = QByteArray(1, 4);
        Store.Values["Vice"] = X64sc;
        for (const int On : {0, 1}) {
            for (const char* Key : {"Vice_run", "Vice_fast", "Vice_truedrive", "Vice_windowed"})
                Store.Values[Key] = On;
            ShowForm(Recorder);
            OpenOn(1, Games, 3);
            Form->RunClick();
            for (const std::string& Argument : WindowsCommandLine::Split(Last())) {
                const QString Option = QString::fromStdString(Argument);
                if (!Option.startsWith('-') && !Option.startsWith('+')) continue;
                const QRegularExpression Listed("(^|\\s)" + QRegularExpression::escape(Option) + "\\s");
                QVERIFY2(Listed.match(Text).hasMatch(),
                         qPrintable(Option + " is not in:\n" + Text.left(2000)));
            }
        }
    }

    void aboutShowsTheInfoDialog() {
        ShowForm(Recorder);
        WithDialog<TInfoDlg>("&About", [](TInfoDlg& Dialog) {
            QCOMPARE(Dialog.Version->text(), QString("Version: 0.2.0  ( Build: 70 - 2004/02/01 )"));
            QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        });
    }
};

QTEST_MAIN(MainEmulatorTest)
#include "MainEmulatorTest.moc"
