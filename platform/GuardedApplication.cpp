// Event delivery with the handler guard around it.
#include "GuardedApplication.h"

#include "HandlerGuard.h"

TGuardedApplication::TGuardedApplication(int& Argc, char** Argv, IUserPrompts& Prompts)
    : QApplication(Argc, Argv), FPrompts(Prompts) {}

bool TGuardedApplication::notify(QObject* Receiver, QEvent* Event) {
    bool Handled = false;
    RunGuarded(FPrompts, [&] { Handled = QApplication::notify(Receiver, Event); });
    return Handled;
}
