// The start of the program: fonts, title, main window and splash, event loop.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class IFontInstaller;
class IUserPrompts;

namespace StartUp {

inline const QString FirstFontFile = QStringLiteral("CBM64_G.fon");
inline const QString SecondFontFile = QStringLiteral("CBM64_S.fon");
inline const QString ApplicationTitle = QStringLiteral("Kobaltmandrexis");

// The title a process has before it sets its own: the executable's file name up to its
// first dot, every character after the first in lower case ("KOBALT.exe" -> "Kobalt").
QString DefaultApplicationTitle(const QString& ExecutablePath);

using TMainWindowFactory = std::function<std::unique_ptr<QWidget>()>;

// Installs both fonts (either failing: the message "Can't load font:<file>" and 0 is
// returned before any window exists), sets the title, creates the main window and then
// the splash, shows them in that order and runs the event loop until the main window
// closes. Needs the QApplication to exist. Returns the process exit code.
int RunApplication(IFontInstaller& Fonts, IUserPrompts& Prompts, const TMainWindowFactory& CreateMainWindow);

} // namespace StartUp
