// The prompt texts as Qt shows them, the real message boxes, and the scripted double.
#include "PromptText.h"
#include "QtUserPrompts.h"
#include "ScriptedPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

class PromptsTest : public QObject {
    Q_OBJECT

    struct TBoxSeen {
        QString Caption, Text;
        QMessageBox::Icon Icon = QMessageBox::NoIcon;
        Qt::TextFormat Format = Qt::AutoText;
        QStringList Buttons;
        QString DefaultButton;
        int Width = 0;
    };

    // Arranges for the next message box to be read and answered by Answer once it runs.
    static void AnswerNextBox(TBoxSeen& Seen, const std::function<void(QMessageBox&)>& Answer) {
        QTimer::singleShot(0, [&Seen, Answer] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!Box) QFAIL("no message box is showing");
            Seen.Caption = Box->windowTitle();
            Seen.Text = Box->text();
            Seen.Icon = Box->icon();
            Seen.Format = Box->textFormat();
            for (QAbstractButton* Button : Box->buttons())
                Seen.Buttons.append(Button->text());
            Seen.Buttons.sort();
            if (Box->defaultButton()) Seen.DefaultButton = Box->defaultButton()->text();
            Seen.Width = Box->width();
            Answer(*Box);
        });
    }

    static std::function<void(QMessageBox&)> Click(QMessageBox::StandardButton Which) {
        return [Which](QMessageBox& Box) { Box.button(Which)->click(); };
    }

    static std::function<void(QMessageBox&)> PressEscape() {
        return [](QMessageBox& Box) { QTest::keyClick(&Box, Qt::Key_Escape); };
    }

  private slots:
    void DisplayText_data() {
        QTest::addColumn<QString>("Given");
        QTest::addColumn<QString>("Shown");
        QTest::newRow("line breaks") << "Shortcuts:\r\n\r\nF1 :  help"
                                     << "Shortcuts:\n\nF1 :  help";
        QTest::newRow("double ampersand") << "fontmode 1 && 2"
                                          << "fontmode 1 & 2";
        QTest::newRow("accelerator prefix") << "&Left && &Right"
                                            << "Left & Right";
        QTest::newRow("four ampersands") << "a&&&&b"
                                         << "a&&b";
        QTest::newRow("three ampersands") << "a&&&b"
                                          << "a&b";
        QTest::newRow("trailing ampersand") << "end&"
                                            << "end";
        QTest::newRow("lone CR and LF stay") << "a\rb\nc"
                                             << "a\rb\nc";
        QTest::newRow("empty") << ""
                               << "";
    }
    void DisplayText() {
        QFETCH(QString, Given);
        QFETCH(QString, Shown);
        QCOMPARE(PromptText::ToDisplayText(Given), Shown);
    }

    void QtFilter_data() {
        QTest::addColumn<QString>("Given");
        QTest::addColumn<QString>("Qt");
        QTest::newRow("two pairs") << "C64 Diskimage (*.d64)|*.d64|All Files (*.*)|*.*"
                                   << "C64 Diskimage (*.d64);;All Files (*.*)";
        QTest::newRow("one pair") << "Program (*.prg)|*.prg"
                                  << "Program (*.prg)";
        QTest::newRow("description without pattern") << "Programs|*.prg"
                                                     << "Programs (*.prg)";
        QTest::newRow("pattern differs from description") << "Programs (PRG)|*.prg"
                                                          << "Programs (PRG) (*.prg)";
        QTest::newRow("several patterns") << "Images|*.d64;*.D64"
                                          << "Images (*.d64 *.D64)";
        QTest::newRow("dangling description dropped") << "Program (*.prg)|*.prg|Broken"
                                                      << "Program (*.prg)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void QtFilter() {
        QFETCH(QString, Given);
        QFETCH(QString, Qt);
        QCOMPARE(PromptText::ToQtFilter(Given), Qt);
    }

    void PlainBoxesShowConvertedTextWithTheirIcon() {
        QtUserPrompts Prompts;
        TBoxSeen Seen;
        AnswerNextBox(Seen, Click(QMessageBox::Ok));
        Prompts.ShowMessage("Line 1\r\n<b>A</b> && B");
        QCOMPARE(Seen.Caption, QString("Kobaltmandrexis"));
        QCOMPARE(Seen.Text, QString("Line 1\n<b>A</b> & B"));
        QCOMPARE(Seen.Format, Qt::PlainText);
        QCOMPARE(Seen.Icon, QMessageBox::NoIcon);
        QCOMPARE(Seen.Buttons.size(), 1);

        TBoxSeen Warning;
        AnswerNextBox(Warning, Click(QMessageBox::Ok));
        Prompts.ShowWarning("This disk may be damaged!");
        QCOMPARE(Warning.Icon, QMessageBox::Warning);
        QCOMPARE(Warning.Text, QString("This disk may be damaged!"));

        TBoxSeen Error;
        AnswerNextBox(Error, Click(QMessageBox::Ok));
        Prompts.ShowError("Disk is full!");
        QCOMPARE(Error.Icon, QMessageBox::Critical);
        QCOMPARE(Error.Caption, QString("Kobaltmandrexis"));

        // A short box still leaves its caption room in a bold title beside a frame's icon
        // and three buttons, each a square of the title's height.
        TBoxSeen Short;
        AnswerNextBox(Short, Click(QMessageBox::Ok));
        Prompts.ShowMessage("OK");
        QFont Title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        Title.setBold(true);
        const QFontMetrics Metrics(Title);
        QVERIFY(Short.Width >= Metrics.horizontalAdvance(Short.Caption) + 4 * Metrics.height());
    }

    // The splash is on top and may be the active window when a box comes up; it ends
    // itself while the box waits, and the box must stay until it is answered.
    void BoxOutlivesASplashThatEnds() {
        QPointer<QWidget> Splash = new QWidget(nullptr, Qt::SplashScreen);
        Splash->show();
        Splash->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Splash));
        QtUserPrompts Prompts;
        TBoxSeen Seen;
        bool StillThere = false;
        AnswerNextBox(Seen, [&](QMessageBox& Box) {
            Splash->deleteLater();
            QTRY_VERIFY(Splash.isNull());
            StillThere = Box.isVisible();
            Box.button(QMessageBox::Ok)->click();
        });
        Prompts.ShowError("Can't find specified diskimage!");
        QVERIFY(StillThere);
        QCOMPARE(Seen.Text, QString("Can't find specified diskimage!"));
    }

    void EmptyCaptionFollowsTheApplicationTitle() {
        const QString Before = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName("Kobalt");
        QtUserPrompts Prompts{QString()};
        TBoxSeen Seen;
        AnswerNextBox(Seen, Click(QMessageBox::Ok));
        Prompts.ShowMessage("Can't load font:CBM64_G.fon");
        QCoreApplication::setApplicationName(Before);
        QCOMPARE(Seen.Caption, QString("Kobalt"));
    }

    void YesNoHonoursDefaultAndTreatsEscapeAsNo() {
        QtUserPrompts Prompts;
        TBoxSeen Seen;
        AnswerNextBox(Seen, Click(QMessageBox::Yes));
        QVERIFY(Prompts.AskYesNo("Really?", true));
        QCOMPARE(Seen.Icon, QMessageBox::Warning);
        QCOMPARE(Seen.DefaultButton, QMessageBox().addButton(QMessageBox::No)->text());

        TBoxSeen DefaultYes;
        AnswerNextBox(DefaultYes, Click(QMessageBox::No));
        QVERIFY(!Prompts.AskYesNo("Really?", false));
        QCOMPARE(DefaultYes.DefaultButton, QMessageBox().addButton(QMessageBox::Yes)->text());

        TBoxSeen Escaped;
        AnswerNextBox(Escaped, PressEscape());
        QVERIFY(!Prompts.AskYesNo("Really?", false));
    }

    void YesNoAllOffersAllAndMapsEachButton() {
        QtUserPrompts Prompts;
        TBoxSeen Seen;
        AnswerNextBox(Seen, Click(QMessageBox::YesToAll));
        QCOMPARE(Prompts.AskYesNoAll("Overwrite?"), IUserPrompts::TAnswer::All);
        QVERIFY(Seen.Buttons.contains("All"));
        QCOMPARE(Seen.Buttons.size(), 3);

        TBoxSeen Yes, No, Escaped;
        AnswerNextBox(Yes, Click(QMessageBox::Yes));
        QCOMPARE(Prompts.AskYesNoAll("Overwrite?"), IUserPrompts::TAnswer::Yes);
        AnswerNextBox(No, Click(QMessageBox::No));
        QCOMPARE(Prompts.AskYesNoAll("Overwrite?"), IUserPrompts::TAnswer::No);
        AnswerNextBox(Escaped, PressEscape());
        QCOMPARE(Prompts.AskYesNoAll("Overwrite?"), IUserPrompts::TAnswer::No);
    }

    void SameNameOffersThreeAnswersAndForAll() {
        using TSame = IUserPrompts::TSameNameAnswer;
        QtUserPrompts Prompts;
        bool ForAll = false;
        TBoxSeen Seen;
        AnswerNextBox(Seen, [](QMessageBox& Box) {
            Box.checkBox()->setChecked(true);
            for (QAbstractButton* Button : Box.buttons())
                if (Button->text() == "&Replace") Button->click();
        });
        QCOMPARE(Prompts.AskSameName("Taken", ForAll), TSame::Replace);
        QVERIFY(ForAll);
        QCOMPARE(Seen.Buttons, (QStringList{"&Keep both", "&Replace", "&Skip"}));
        QCOMPARE(Seen.DefaultButton, QString("&Keep both"));
    }

    void ScriptedPromptsAnswerInOrderAndRecordEverything() {
        ScriptedPrompts Prompts;
        Prompts.YesNoAnswers = {true, false};
        Prompts.YesNoAllAnswers = {IUserPrompts::TAnswer::All};
        Prompts.OpenFileNames = {"/tmp/a.d64"};
        Prompts.ShowMessage("one\r\n&&");
        QVERIFY(Prompts.AskYesNo("first?", true));
        QVERIFY(!Prompts.AskYesNo("second?", false));
        QCOMPARE(Prompts.AskYesNoAll("all?"), IUserPrompts::TAnswer::All);
        QCOMPARE(Prompts.GetOpenFileName(nullptr, "/tmp", "C64 Diskimage (*.d64)|*.d64"),
                 QString("/tmp/a.d64"));
        Prompts.ShowError("Disk is full!");
        Prompts.SetClipboardText(QString(QChar(0xE001)));

        QCOMPARE(Prompts.Messages(), QStringList{"one\r\n&&"});
        QCOMPARE(Prompts.Questions(), (QStringList{"first?", "second?"}));
        QCOMPARE(Prompts.Errors(), QStringList{"Disk is full!"});
        QCOMPARE(Prompts.Shown.size(), 7);
        QVERIFY(Prompts.Shown[1].DefaultNo);
        QVERIFY(!Prompts.Shown[2].DefaultNo);
        QCOMPARE(Prompts.Shown[4].Kind, ScriptedPrompts::TKind::OpenFile);
        QCOMPARE(Prompts.Shown[4].Path, QString("/tmp"));
        QCOMPARE(Prompts.Shown[4].Filter, QString("C64 Diskimage (*.d64)|*.d64"));
        QCOMPARE(Prompts.ClipboardText, QString(QChar(0xE001)));
        QVERIFY(Prompts.Unexpected.isEmpty());
    }

    void ScriptedPromptsRecordQuestionsWithoutAnswer() {
        ScriptedPrompts Prompts;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no answer queued"));
        QVERIFY(!Prompts.AskYesNo("Scratch?", true));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no answer queued"));
        QCOMPARE(Prompts.AskYesNoAll("Overwrite?"), IUserPrompts::TAnswer::No);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no answer queued"));
        QVERIFY(Prompts.GetSaveFileName(nullptr, "x.prg", "").isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no answer queued"));
        QVERIFY(Prompts.GetExistingDirectory(nullptr, "Export to").isEmpty());
        QCOMPARE(Prompts.Unexpected.size(), 4);
        QVERIFY(Prompts.Unexpected[0].contains("Scratch?"));
        QCOMPARE(Prompts.Shown.size(), 4);
    }

    void ProgramDialogOffersFoldersAndProgramsOnly() {
        QTemporaryDir Dir;
        QVERIFY(QDir(Dir.path()).mkdir("sub"));
        for (const char* Name : {"x64sc", "notes.txt"}) {
            QFile File(Dir.filePath(Name));
            QVERIFY(File.open(QIODevice::WriteOnly));
        }
        QFile(Dir.filePath("x64sc")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QStringList Offered;
        QString Title;
        QTimer::singleShot(0, [&] {
            QFileDialog* Dialog = nullptr;
            const bool Up = QTest::qWaitFor([&] {
                return (Dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) != nullptr;
            });
            if (!Up) QFAIL("no file dialog is showing");
            Title = Dialog->windowTitle();
            auto* List = Dialog->findChild<QListView*>("listView");
            // The folder is read in the background, its entries in one batch.
            const bool Read = QTest::qWaitFor([&] { return List->model()->rowCount(List->rootIndex()) > 0; });
            QTest::qWait(200);
            for (int Row = 0; Read && Row < List->model()->rowCount(List->rootIndex()); ++Row)
                Offered << List->model()->index(Row, 0, List->rootIndex()).data().toString();
            auto* Name = Dialog->findChild<QLineEdit*>("fileNameEdit");
            Name->setText("x64sc");
            QTest::keyClick(Name, Qt::Key_Return);
        });
        const QString Chosen = QtUserPrompts().GetOpenFileName(nullptr, Dir.path(), "Executables (*)|*",
                                                               {"Find Emulator", true});
        QCOMPARE(Chosen, Dir.filePath("x64sc"));
        QCOMPARE(Title, QString("Find Emulator"));
        Offered.sort();
        QCOMPARE(Offered, (QStringList{"sub", "x64sc"}));
    }
};

QTEST_MAIN(PromptsTest)
#include "PromptsTest.moc"
