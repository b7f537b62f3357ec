// Program entry of Kobaltmandrexis: the command line, the real host services and the
// start-up sequence.
#include "Main.h"
#include "GuardedApplication.h"
#include "HostSystemInfo.h"
#include "PosixProcessStarter.h"
#include "QtFontInstaller.h"
#include "QtSettingsStore.h"
#include "QtUserPrompts.h"
#include "StartUp.h"

#include <QFile>
#include <iostream>

int main(int argc, char** argv) {
    // --help and --version need no display: they are answered before Qt starts. Other
    // options may be Qt's own, which only Qt knows; they are judged once Qt took its share.
    QStringList Raw;
    for (int i = 1; i < argc; ++i)
        Raw << QFile::decodeName(argv[i]);
    const StartUp::TCommandLine Early = StartUp::ParseCommandLine(Raw);
    if (Early.Action == StartUp::TCommandLine::TAction::Help ||
        Early.Action == StartUp::TCommandLine::TAction::Version)
        return *StartUp::Answer(Early, std::cout, std::cerr);

    // An empty caption follows the application title: the default title until the
    // start-up sets "Kobaltmandrexis".
    QtUserPrompts Prompts{QString()};
    TGuardedApplication App(argc, argv, Prompts);
    const StartUp::TCommandLine Line = StartUp::ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (const std::optional<int> ExitCode = StartUp::Answer(Line, std::cout, std::cerr)) return *ExitCode;

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
            auto Form = std::make_unique<TMainForm>(Prompts, Settings, Fonts, Processes, System);
            Window = Form.get();
            return Form;
        },
        [&] {
            // The images named on the command line, as if chosen after Alt+F1 and Alt+F2.
            for (int Side = 1; Side <= Line.Images.size(); ++Side)
                Window->OpenImage(Side, Line.Images[Side - 1]);
        });
}
