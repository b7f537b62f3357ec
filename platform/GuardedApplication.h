// The application object of the program: every event is delivered through RunGuarded,
// so an exception thrown by any slot or event handler is shown, not fatal.
#pragma once

#include <QApplication>

class IUserPrompts;

class TGuardedApplication : public QApplication {
  public:
    TGuardedApplication(int& Argc, char** Argv, IUserPrompts& Prompts);

    bool notify(QObject* Receiver, QEvent* Event) override;

  private:
    IUserPrompts& FPrompts;
};
