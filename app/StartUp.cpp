// The start-up sequence of the program.
#include "StartUp.h"

#include "FontInstaller.h"
#include "HandlerGuard.h"
#include "ScreenFit.h"
#include "Splash.h"
#include "UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace StartUp {

namespace {

// Ends the event loop once the main window has been closed (a close it refuses does
// not count). The splash may still show then, so Qt's last-window rule is not enough.
class TQuitWhenClosed : public QObject {
  public:
    explicit TQuitWhenClosed(QWidget* Window) : QObject(Window), FWindow(Window) {
        Window->installEventFilter(this);
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Watched == FWindow && Event->type() == QEvent::Close)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!FWindow->isVisible()) QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        return false;
    }

  private:
    QWidget* FWindow;
};

const char* const UsageLine = "Usage: kobaltmandrexis [OPTION]... [LEFT [RIGHT]]\n";

const char* const HelpText =
    "Edit Commodore 1541 disk images (.d64). LEFT opens in the left pane and RIGHT in the\n"
    "right one, as if chosen after Alt+F1 and Alt+F2.\n"
    "\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the version and exit\n"
    "      --new-window  open a window of its own; without it the images go to the\n"
    "                    editor that runs already, if one does\n"
    "  --                take every argument after it as an image\n"
    "\n"
    "Qt's own options, such as -platform NAME, work as well.\n";

} // namespace

TCommandLine ParseCommandLine(const QStringList& Arguments) {
    TCommandLine Line;
    bool OptionsEnd = false;
    for (const QString& Argument : Arguments) {
        if (!OptionsEnd && Argument.startsWith(u'-') && Argument.size() > 1) {
            if (Argument == QLatin1String("--")) {
                OptionsEnd = true;
                continue;
            }
            if (Argument == QLatin1String("--new-window")) {
                Line.NewWindow = true;
                continue;
            }
            if (Argument == QLatin1String("--help") || Argument == QLatin1String("-h"))
                Line.Action = TCommandLine::TAction::Help;
            else if (Argument == QLatin1String("--version"))
                Line.Action = TCommandLine::TAction::Version;
            else {
                Line.Action = TCommandLine::TAction::Usage;
                Line.BadOption = Argument;
            }
            return Line;
        }
        // The panes show the path as opened, and an emulator starts in its own folder:
        // both want the full path, as the open dialog gives it.
        const QString Image = QDir::cleanPath(QDir::current().absoluteFilePath(Argument));
        (Line.Images.size() < 2 ? Line.Images : Line.Ignored).append(Image);
    }
    return Line;
}

std::optional<int> Answer(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
    switch (Line.Action) {
    case TCommandLine::TAction::Help:
        Out << UsageLine << HelpText;
        return 0;
    case TCommandLine::TAction::Version:
        Out << "kobaltmandrexis " KBM_VERSION "\n";
        return 0;
    case TCommandLine::TAction::Usage:
        Err << "kobaltmandrexis: unknown option '" << Line.BadOption.toLocal8Bit().constData() << "'\n"
            << UsageLine << "Try 'kobaltmandrexis --help' for more information.\n";
        return 2;
    case TCommandLine::TAction::Run:
        break;
    }
    for (const QString& Image : Line.Ignored)
        Err << "kobaltmandrexis: only two images can be open, ignoring " << Image.toLocal8Bit().constData()
            << "\n";
    return std::nullopt;
}

QString DefaultApplicationTitle(const QString& ExecutablePath) {
    const qsizetype Slash = std::max(ExecutablePath.lastIndexOf(u'/'), ExecutablePath.lastIndexOf(u'\\'));
    QString Name = ExecutablePath.mid(Slash + 1);
    const qsizetype Dot = Name.indexOf(u'.');
    if (Dot >= 0) Name.truncate(Dot);
    return Name.left(1) + Name.mid(1).toLower();
}

int RunApplication(IFontInstaller& Fonts, IUserPrompts& Prompts, const TMainWindowFactory& CreateMainWindow,
                   const std::function<void()>& WhenStarted) {
    if (!Fonts.AddFont(FirstFontFile)) {
        Prompts.ShowMessage(QStringLiteral("Can't load font:") + FirstFontFile);
        return 0;
    }
    if (!Fonts.AddFont(SecondFontFile)) {
        Prompts.ShowMessage(QStringLiteral("Can't load font:") + SecondFontFile);
        // The process ends here, so the first font goes again too.
        Fonts.RemoveFont(FirstFontFile);
        return 0;
    }
    // Application fonts are visible to Qt at once; there is nothing to broadcast.

    // The title is the application name only: a display name would be appended by Qt
    // to every window title on X11 and Wayland ("Open — Kobaltmandrexis").
    QCoreApplication::setApplicationName(ApplicationTitle);

    // Every window and dialog larger than the screen is fitted into it.
    if (!qApp->findChild<ScreenFit::TFitter*>(QString(), Qt::FindDirectChildrenOnly))
        qApp->installEventFilter(new ScreenFit::TFitter(qApp));

    std::unique_ptr<QWidget> MainWindow;
    QPointer<TSplashScreen> Splash;
    const bool Started = RunGuarded(Prompts, [&] {
        MainWindow = CreateMainWindow();
        new TQuitWhenClosed(MainWindow.get());
        Splash = new TSplashScreen();
        MainWindow->show();
        // A box shown while the main window opened (a setting of the wrong type) runs its
        // own event loop; the splash's timer may have ended the splash in it. Its time is
        // then over and it is not shown late.
        if (Splash) Splash->show();
        // Start-up is done once the loop runs; what comes then is like the user's first command.
        if (WhenStarted)
            QTimer::singleShot(0, MainWindow.get(),
                               [&Prompts, WhenStarted] { RunGuarded(Prompts, WhenStarted); });
    });
    if (!Started) {
        // The window could not be built; the error has been shown.
        delete Splash;
        return 1;
    }
    const int ExitCode = QApplication::exec();
    delete Splash; // still there when the main window closed within 2.5 seconds
    return ExitCode;
}

} // namespace StartUp
