// The start of the program: fonts, title, main window and splash, event loop.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

class IFontInstaller;
class IUserPrompts;

namespace StartUp {

inline const QString FirstFontFile = QStringLiteral("CBM64_G.fon");
inline const QString SecondFontFile = QStringLiteral("CBM64_S.fon");
inline const QString ApplicationTitle = QStringLiteral("Kobaltmandrexis");

// The title a process has before it sets its own: the executable's file name up to its
// first dot, every character after the first in lower case ("KOBALT.exe" -> "Kobalt").
QString DefaultApplicationTitle(const QString& ExecutablePath);

// What the program's arguments ask for: kobaltmandrexis [OPTION]... [LEFT [RIGHT]].
struct TCommandLine {
    enum class TAction { Run, Help, Version, Usage };
    TAction Action = TAction::Run;
    // LEFT and RIGHT as absolute paths, for the left and the right pane.
    QStringList Images;
    // Images named after the second: there are only two panes.
    QStringList Ignored;
    // With Usage: the option that was not understood.
    QString BadOption;
    // --new-window: a window of its own, even when the editor runs already.
    bool NewWindow = false;
};

// Reads the arguments after the program name. --new-window is noted; the first of --help
// (-h), --version and an unknown option decides; after "--" every argument is an image. Relative image paths
// are taken from the working folder. Qt's own options (-platform NAME, ...) must have
// been taken out by Qt before, or they count as unknown.
TCommandLine ParseCommandLine(const QStringList& Arguments);

// Prints what the command line asks for: the help or the version on Out (exit code 0),
// the bad option and the usage line on Err (exit code 2). For Run it notes ignored images
// on Err and returns nothing: the program goes on.
std::optional<int> Answer(const TCommandLine& Line, std::ostream& Out, std::ostream& Err);

using TMainWindowFactory = std::function<std::unique_ptr<QWidget>()>;

// Installs both fonts (either failing: the message "Can't load font:<file>" and 0 is
// returned before any window exists), sets the title, creates the main window and then
// the splash, shows them in that order and runs the event loop until the main window
// closes. Once the loop runs, WhenStarted is called (guarded), e.g. to open the images
// named on the command line. Needs the QApplication to exist. Returns the exit code.
int RunApplication(IFontInstaller& Fonts, IUserPrompts& Prompts, const TMainWindowFactory& CreateMainWindow,
                   const std::function<void()>& WhenStarted = {});

} // namespace StartUp
