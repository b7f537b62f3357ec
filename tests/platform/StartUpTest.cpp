// The start-up sequence: font failures end it before any window exists; otherwise the
// main window and the splash appear in that order and the loop runs until the main
// window closes. Also the splash itself and the default title.
#include "StartUp.h"
#include "ScriptedPrompts.h"
#include "Splash.h"

#include "D64StringGrid.h"
#include "FontInstaller.h"
#include "Main.h"
#include "MemorySettingsStore.h"
#include "QtUserPrompts.h"
#include "c64disk.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

namespace {

class TFakeFonts : public IFontInstaller {
  public:
    QStringList Missing; // names that cannot be installed
    QStringList Calls;   // "+name" for AddFont, "-name" for RemoveFont
    bool AddFont(const QString& FileName) override {
        Calls.append("+" + FileName);
        return !Missing.contains(FileName);
    }
    bool RemoveFont(const QString& FileName) override {
        Calls.append("-" + FileName);
        return true;
    }
};

QList<QWidget*> VisibleTopLevels() {
    QList<QWidget*> Result;
    for (QWidget* Widget : QApplication::topLevelWidgets())
        if (Widget->isVisible()) Result.append(Widget);
    return Result;
}

TSplashScreen* FindSplash() {
    for (QWidget* Widget : QApplication::topLevelWidgets())
        if (auto* Splash = qobject_cast<TSplashScreen*>(Widget)) return Splash;
    return nullptr;
}

// Answers an error box only once the splash's timer has ended the splash, like a user who
// takes a few seconds to read it; the box's own event loop runs meanwhile.
class TLateAnsweredPrompts : public ScriptedPrompts {
  public:
    void ShowError(const QString& Text) override {
        ScriptedPrompts::ShowError(Text);
        QEventLoop Box;
        QTimer Reading;
        QObject::connect(&Reading, &QTimer::timeout, &Box, [&Box] {
            if (!FindSplash()) Box.quit();
        });
        Reading.start(50);
        QTimer::singleShot(5000, &Box, &QEventLoop::quit);
        Box.exec();
    }
};

// The title the window manager shows for a window: its _NET_WM_NAME, as any X client
// reads it.
QString TitleBarText(const QWidget* Window) {
    QProcess Xprop;
    Xprop.start("xprop", {"-id", QString::number(Window->winId()), "-notype", "_NET_WM_NAME"});
    if (!Xprop.waitForFinished(5000)) return {};
    const QString Line = QString::fromUtf8(Xprop.readAllStandardOutput()).trimmed();
    const qsizetype Quote = Line.indexOf(u'"');
    return Quote < 0 ? QString() : Line.mid(Quote + 1).chopped(1);
}

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT

  private slots:
    void MissingFontEndsBeforeAnyWindow_data() {
        QTest::addColumn<QStringList>("Missing");
        QTest::addColumn<QString>("Message");
        QTest::addColumn<QStringList>("Calls");
        QTest::newRow("first") << QStringList{"CBM64_G.fon"} << "Can't load font:CBM64_G.fon"
                               << QStringList{"+CBM64_G.fon"};
        QTest::newRow("second") << QStringList{"CBM64_S.fon"} << "Can't load font:CBM64_S.fon"
                                << QStringList{"+CBM64_G.fon", "+CBM64_S.fon", "-CBM64_G.fon"};
        QTest::newRow("both") << QStringList{"CBM64_G.fon", "CBM64_S.fon"} << "Can't load font:CBM64_G.fon"
                              << QStringList{"+CBM64_G.fon"};
    }
    void MissingFontEndsBeforeAnyWindow() {
        QFETCH(QStringList, Missing);
        QFETCH(QString, Message);
        QFETCH(QStringList, Calls);
        TFakeFonts Fonts;
        Fonts.Missing = Missing;
        ScriptedPrompts Prompts;
        int WindowsCreated = 0;
        bool Started = false;
        const int ExitCode = StartUp::RunApplication(
            Fonts, Prompts,
            [&]() -> std::unique_ptr<QWidget> {
                ++WindowsCreated;
                return std::make_unique<QWidget>();
            },
            [&] { Started = true; });
        QCOMPARE(ExitCode, 0);
        QVERIFY(!Started);
        QCOMPARE(Prompts.Messages(), QStringList{Message});
        QCOMPARE(Prompts.Shown.size(), 1);
        QCOMPARE(Fonts.Calls, Calls);
        QCOMPARE(WindowsCreated, 0);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void MainWindowThenSplashThenLoopUntilMainCloses() {
        TFakeFonts Fonts;
        ScriptedPrompts Prompts;
        QPointer<QWidget> Main;
        QStringList Seen;
        const int ExitCode = StartUp::RunApplication(Fonts, Prompts, [&]() -> std::unique_ptr<QWidget> {
            if (FindSplash()) Seen.append("splash before main window");
            auto Window = std::make_unique<QWidget>();
            Window->resize(640, 480);
            Main = Window.get();
            // Runs once the loop is going: look at what is on screen, then close the window.
            QTimer::singleShot(0, [&] {
                TSplashScreen* Splash = FindSplash();
                if (Main && Main->isVisible()) Seen.append("main");
                if (Splash && Splash->isVisible()) Seen.append("splash");
                if (Splash && Splash->Timer1->isActive() && Splash->Timer1->interval() == 2500)
                    Seen.append("timer");
                Seen.append(QCoreApplication::applicationName());
                Main->close();
            });
            return Window;
        });
        QCOMPARE(ExitCode, 0);
        QCOMPARE(Seen, (QStringList{"main", "splash", "timer", "Kobaltmandrexis"}));
        QCOMPARE(Fonts.Calls, (QStringList{"+CBM64_G.fon", "+CBM64_S.fon"}));
        QVERIFY(Main.isNull());
        QVERIFY(FindSplash() == nullptr);
        QVERIFY(Prompts.Shown.isEmpty());
    }

    // Images named on the command line open once the main window and the splash are up,
    // as if chosen after Alt+F1 and Alt+F2: listed with row 1 selected; a missing one gets
    // the dialog path's message and leaves its pane empty; the window stays open.
    void ImagesOpenOnceStartedAsTheDialogWould() {
        QTemporaryDir Dir;
        const QString Good = Dir.filePath("good.d64");
        {
            std::unique_ptr<TC64Disk> Disk =
                TC64Disk::CreateDiskImage(QFile::encodeName(Good).toStdString(), dt35Tracks, deCbmDos);
            uint8_t* Entry = Disk->AllocateDirEntry();
            Entry[2] = 0x82;
            StringToPetscii("HELLO", Entry + 5, 15);
            Disk->Save();
        }
        TFakeFonts Fonts;
        ScriptedPrompts Prompts;
        MemorySettingsStore Store;
        TMainForm* Form = nullptr;
        QStringList Seen;
        StartUp::RunApplication(
            Fonts, Prompts,
            [&]() -> std::unique_ptr<QWidget> {
                auto Window = std::make_unique<TMainForm>(Prompts, Store, Fonts);
                Form = Window.get();
                return Window;
            },
            [&] {
                if (Form->isVisible() && FindSplash() && FindSplash()->isVisible()) Seen << "shown";
                Form->OpenImage(1, Good);
                Form->OpenImage(2, Dir.filePath("missing.d64"));
                TD64StringGrid* Left = Form->LeftView();
                Seen << QString::fromLatin1(Left->Cell(1, 1)).trimmed()
                     << (Left->IsRowSelected(1) ? "row 1 selected" : "row 1 not selected")
                     << Form->StatusText(1) << Form->DiskNameLabel(2)->text()
                     << (Form->isVisible() ? "open" : "closed");
                Form->close();
            });
        QCOMPARE(Seen, (QStringList{"shown", "\"HELLO\"", "row 1 selected",
                                    "664 BLOCKS FREE - 1 FILE(S) ON DISK", "NO DISK", "open"}));
        QCOMPARE(Prompts.Errors(), QStringList{"Can't find specified diskimage!"});
        QCOMPARE(Prompts.Shown.size(), 1);
    }

    void FailingMainWindowIsShownAndReported() {
        TFakeFonts Fonts;
        ScriptedPrompts Prompts;
        const int ExitCode = StartUp::RunApplication(Fonts, Prompts, []() -> std::unique_ptr<QWidget> {
            throw std::runtime_error("no window today");
        });
        QCOMPARE(ExitCode, 1);
        QCOMPARE(Prompts.Errors(), QStringList{"no window today"});
        QVERIFY(VisibleTopLevels().isEmpty());
        QVERIFY(FindSplash() == nullptr);
    }

    // A setting of the wrong type puts the error box up while the main window opens, and
    // the user answers it after the splash's time is over: the window opens all the same.
    void ErrorBoxAnsweredAfterTheSplashTime() {
        TFakeFonts Fonts;
        TLateAnsweredPrompts Prompts;
        MemorySettingsStore Store;
        Store.Values["Max"] = "abc";
        bool MainShown = false;
        const int ExitCode = StartUp::RunApplication(Fonts, Prompts, [&]() -> std::unique_ptr<QWidget> {
            auto Window = std::make_unique<TMainForm>(Prompts, Store, Fonts);
            auto* Watch = new QTimer(Window.get());
            QObject::connect(Watch, &QTimer::timeout, Window.get(), [&MainShown, Form = Window.get()] {
                if (!Form->isVisible()) return;
                MainShown = true;
                Form->close();
            });
            Watch->start(100);
            QTimer::singleShot(15000, Window.get(), [] { QCoreApplication::quit(); });
            return Window;
        });
        QCOMPARE(ExitCode, 0);
        QCOMPARE(Prompts.Errors(), QStringList{"Invalid registry data type for value \"Max\""});
        QVERIFY(MainShown);
    }

    // On a desktop the title bars read exactly the program's captions: the application's
    // name is added neither to the main window's nor to a dialog's.
    void TitleBarsShowTheCaptionsOnly() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("title bars exist only under a window manager");
        TFakeFonts Fonts;
        QtUserPrompts Prompts;
        MemorySettingsStore Store;
        QStringList Titles;
        auto ReadTitle = [&Titles](QWidget* Window) {
            QVERIFY(Window);
            QTRY_VERIFY(!TitleBarText(Window).isEmpty());
            Titles << TitleBarText(Window);
        };
        StartUp::RunApplication(Fonts, Prompts, [&]() -> std::unique_ptr<QWidget> {
            auto Window = std::make_unique<TMainForm>(Prompts, Store, Fonts);
            QTimer::singleShot(0, Window.get(), [&, Form = Window.get()] {
                ReadTitle(Form);
                // Runs inside the file dialog's event loop.
                QTimer::singleShot(0, [&] {
                    ReadTitle(QApplication::activeModalWidget());
                    if (QWidget* Dialog = QApplication::activeModalWidget()) Dialog->close();
                });
                Form->OpenD641Click();
                Form->close();
            });
            return Window;
        });
        QCOMPARE(Titles, (QStringList{"Kobaltmandrexis 0.2", "Open"}));
    }

    void SplashShowsThePictureCentredOnTop() {
        QPointer<TSplashScreen> Splash = new TSplashScreen();
        QCOMPARE(Splash->Image1->objectName(), QString("Image1"));
        QCOMPARE(Splash->Image1->pixmap().size(), QSize(382, 273));
        QVERIFY(Splash->Timer1->isActive());
        QCOMPARE(Splash->Timer1->interval(), 2000);
        QVERIFY(Splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(Splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!Splash->isModal());

        Splash->show();
        QCOMPARE(Splash->size(), QSize(382, 273));
        QCOMPARE(Splash->Image1->geometry(), QRect(0, 0, 382, 273));
        QCOMPARE(Splash->Timer1->interval(), 2500);
        const QRect Screen = Splash->screen()->availableGeometry();
        QVERIFY(qAbs(Splash->geometry().center().x() - Screen.center().x()) <= 1);
        QVERIFY(qAbs(Splash->geometry().center().y() - Screen.center().y()) <= 1);

        Splash->Timer1Timer();
        QVERIFY(!Splash.isNull());
        QVERIFY(!Splash->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Splash.isNull());
    }

    void DefaultTitle_data() {
        QTest::addColumn<QString>("Path");
        QTest::addColumn<QString>("Title");
        QTest::newRow("linux program") << "/usr/bin/kobaltmandrexis"
                                       << "kobaltmandrexis";
        QTest::newRow("windows program") << "C:\\Tools\\Kobaltmandrexis.exe"
                                         << "Kobaltmandrexis";
        QTest::newRow("upper case") << "C:\\TOOLS\\KOBALT.MAN.EXE"
                                    << "Kobalt";
        QTest::newRow("no folder") << "kOBALT"
                                   << "kobalt";
        QTest::newRow("dot in folder") << "/opt/kbm.d/Prog"
                                       << "Prog";
    }
    void DefaultTitle() {
        QFETCH(QString, Path);
        QFETCH(QString, Title);
        QCOMPARE(StartUp::DefaultApplicationTitle(Path), Title);
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
