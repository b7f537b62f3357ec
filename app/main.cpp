// Program entry of Kobaltmandrexis: the command line, the real host services and the
// start-up sequence.
#include "Main.h"
#include "GuardedApplication.h"
#include "HostSystemInfo.h"
#include "LazyIconStyle.h"
#include "PosixProcessStarter.h"
#include "QtFontInstaller.h"
#include "QtSettingsStore.h"
#include "QtUserPrompts.h"
#include "SingleInstance.h"
#include "StartUp.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QTimer>
#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <sstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

// What the command line asks to be said (help, version, a usage error, images left out),
// written to standard output and error. The streams are made only when there is something
// to say: the window's start then never sets up the C++ standard streams and their locale.
std::optional<int> AnswerCommandLine(const StartUp::TCommandLine& Line) {
    if (Line.Action == StartUp::TCommandLine::TAction::Run && Line.Ignored.isEmpty()) return std::nullopt;
    std::ostringstream Out, Err;
    const std::optional<int> ExitCode = StartUp::Answer(Line, Out, Err);
    std::fputs(Out.str().c_str(), stdout);
    std::fputs(Err.str().c_str(), stderr);
    return ExitCode;
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version need no display: they are answered before Qt starts. Other
    // options may be Qt's own, which only Qt knows; they are judged once Qt took its share.
    QStringList Raw;
    for (int i = 1; i < argc; ++i)
        Raw << QFile::decodeName(argv[i]);
    const StartUp::TCommandLine Early = StartUp::ParseCommandLine(Raw);
    if (Early.Action == StartUp::TCommandLine::TAction::Help ||
        Early.Action == StartUp::TCommandLine::TAction::Version)
        return *AnswerCommandLine(Early);

    // The system's font configuration (several milliseconds of parsing and cache loading,
    // needed for the first text) loads on a second core while Qt connects to the display.
    // Fontconfig's set-up is safe from any thread; the thread ends before any window exists.
    // At the lowest priority it takes only time that Qt and the X server leave idle.
    std::thread FontConfig([] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
        FcInit();
    });
    // An empty caption follows the application title: the default title until the
    // start-up sets "Kobaltmandrexis".
    QtUserPrompts Prompts{QString()};
    TGuardedApplication App(argc, argv, Prompts);
    FontConfig.join();
    const StartUp::TCommandLine Line = StartUp::ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (const std::optional<int> ExitCode = AnswerCommandLine(Line)) return *ExitCode;
    // An editor that runs already takes the images and shows them: this start ends there.
    const QString Socket = SingleInstance::SocketPath();
    if (!Line.NewWindow && SingleInstance::HandOver(Socket, Line.Images)) return 0;

    // The style chosen (by the desktop, -style or QT_STYLE_OVERRIDE) stays; only its extension
    // arrows wait until they are drawn.
    QApplication::setStyle(new TLazyIconStyle(QApplication::style()));
    // Docks and task bars match the window to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.halvorsteen.kobaltmandrexis"));
    QCoreApplication::setApplicationName(
        StartUp::DefaultApplicationTitle(QCoreApplication::applicationFilePath()));
    QtFontInstaller Fonts;
    QtSettingsStore Settings;
    TPosixProcessStarter Processes;
    THostSystemInfo System;
    TMainForm* Window = nullptr;
    return StartUp::RunApplication(
        Fonts, Prompts,
        [&]() -> std::unique_ptr<QWidget> {
            // Qt's list of the installed fonts (a millisecond or more) is made on a second core
            // while the window's actions, menus and tool bars are built; the first text measured
            // waits for it. The font database is safe from any thread; this one ends before the
            // window is shown.
            std::jthread FontList([] { QFontDatabase::families(); });
            auto Form = std::make_unique<TMainForm>(Prompts, Settings, Fonts, Processes, System);
            FontList.join();
            Window = Form.get();
            // Each image handed over goes to the pane without the focus, and the window comes up.
            // While a dialog is open (a command is under way on a pane) the images wait for it.
            auto OpenHandedOver = std::make_shared<std::function<void(const QStringList&)>>();
            *OpenHandedOver = [Window, Later = std::weak_ptr(OpenHandedOver)](const QStringList& Images) {
                if (QApplication::activeModalWidget()) {
                    QTimer::singleShot(200, Window, [Later, Images] {
                        if (const auto Open = Later.lock()) (*Open)(Images);
                    });
                    return;
                }
                for (const QString& Image : Images)
                    Window->OpenImage(3 - Window->ActiveSide(), Image);
                Window->setWindowState(Window->windowState() & ~Qt::WindowMinimized);
                Window->raise();
                Window->activateWindow();
            };
            new SingleInstance::TServer(
                Socket, [OpenHandedOver](const QStringList& Images) { (*OpenHandedOver)(Images); }, Window);
            return Form;
        },
        [&] {
            // The images named on the command line, as if chosen after Alt+F1 and Alt+F2.
            for (int Side = 1; Side <= Line.Images.size(); ++Side)
                Window->OpenImage(Side, Line.Images[Side - 1]);
        });
}
