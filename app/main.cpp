// Program entry of Kobaltmandrexis: the real host services and the start-up sequence.
#include "Main.h"
#include "GuardedApplication.h"
#include "HostSystemInfo.h"
#include "PosixProcessStarter.h"
#include "QtFontInstaller.h"
#include "QtSettingsStore.h"
#include "QtUserPrompts.h"
#include "StartUp.h"

int main(int argc, char** argv) {
    // An empty caption follows the application title: the default title until the
    // start-up sets "Kobaltmandrexis".
    QtUserPrompts Prompts{QString()};
    TGuardedApplication App(argc, argv, Prompts);
    QCoreApplication::setApplicationName(
        StartUp::DefaultApplicationTitle(QCoreApplication::applicationFilePath()));
    QtFontInstaller Fonts;
    QtSettingsStore Settings;
    TPosixProcessStarter Processes;
    THostSystemInfo System;
    return StartUp::RunApplication(Fonts, Prompts, [&]() -> std::unique_ptr<QWidget> {
        return std::make_unique<TMainForm>(Prompts, Settings, Fonts, Processes, System);
    });
}
