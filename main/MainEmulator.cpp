// TMainForm's emulator commands: running the selected file or booting the focused
// image in the current emulator, telling why an emulator stopped at once, choosing the
// emulator, the emulator options, and the About box.
#include "Main.h"

#include "D64StringGrid.h"
#include "EmuDlg.h"
#include "InfoDlg.h"
#include "ProcessStarter.h"
#include "ProgramPath.h"
#include "UserPrompts.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

const char* const NotFoundMessage = "Can't find Emulator!\r\n";
const char* const StartErrorMessage = "Error while starting emulator!\r\nError Code ";
const char* const EarlyEndMessage = "The emulator stopped right after its start!\r\n";
// How often the window looks for emulators that stopped at once.
const int WatchMilliseconds = 200;

// Text between double quotes on an emulator's command line, written so that the
// emulator's C runtime reads it back unchanged: a quote inside is escaped, and
// backslashes that stand before a quote are doubled. Paths and names without quotes
// or such backslashes are passed exactly as they are.
std::string Quoted(std::string_view Text) {
    std::string Result = "\"";
    std::size_t Backslashes = 0;
    for (const char c : Text) {
        if (c == '"') Result.append(Backslashes + 1, '\\');
        Backslashes = c == '\\' ? Backslashes + 1 : 0;
        Result += c;
    }
    Result.append(Backslashes, '\\');
    return Result + '"';
}

// The name WinVice runs from a NAME cell ("FROGGER"  padded): without blanks and
// control codes at both ends, without the quotes, A to Z in lower case; every other
// byte as it is.
std::string WinViceProgramName(const std::string& NameCell) {
    std::size_t First = 0;
    std::size_t Last = NameCell.size();
    while (First < Last && static_cast<unsigned char>(NameCell[First]) <= 32)
        ++First;
    while (Last > First && static_cast<unsigned char>(NameCell[Last - 1]) <= 32)
        --Last;
    std::string Name = Last - First > 2 ? NameCell.substr(First + 1, Last - First - 2) : std::string();
    for (char& c : Name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return Name;
}

// The folder an emulator runs in: its executable's folder, without the final slash
// unless that is all there is ("/usr/bin/x64sc" gives "/usr/bin", "/x64sc" gives "/").
// A bare program name gives nothing: it runs in our own folder, where it was found.
std::string ExecutableFolder(const std::string& Executable) {
    const std::size_t Slash = Executable.find_last_of('/');
    if (Slash == std::string::npos) return std::string();
    std::string Folder = Executable.substr(0, Slash + 1);
    if (Folder.size() > 1 && Folder[Folder.size() - 2] != '/') Folder.pop_back();
    return Folder;
}

// An existing file; a folder does not count.
bool IsFile(const std::string& Path) {
    std::error_code Error;
    return !Path.empty() && std::filesystem::exists(Path, Error) &&
           !std::filesystem::is_directory(Path, Error);
}

} // namespace

void TMainForm::LaunchEmulator(bool Boot) {
    const int Side = ActiveSide();
    const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
    if (!SideDisk) return;
    const TD64StringGrid* View = ViewOf(Side);
    const std::string& Path = SideDisk->FileName();
    const int Row = View->Row();

    std::string Executable;
    std::string Arguments;
    switch (CurrentEmulator) {
    case 1:
        Executable = CCS64Settings.Location;
        Arguments = " " + Quoted(Path) + (Boot ? " " : "," + std::to_string(Row - 1) + " ");
        if (CCS64Settings.Windowed) Arguments += "-window ";
        Arguments += CCS64Settings.FastLoad ? "-fastload " : "-normalload ";
        Arguments += CCS64Settings.AutoRun ? "-autorun " : "-manualrun ";
        break;
    case 2:
        Executable = WinViceSettings.Location;
        Arguments = WinViceSettings.FastLoad ? " +truedrive " : " -truedrive ";
        if (Boot) {
            Arguments += Quoted(Path) + " ";
        } else {
            // An emptied grid keeps the cell texts of its last listing; they name no
            // file of this image.
            const std::string Name = View->Empty() ? std::string() : WinViceProgramName(View->Cell(1, Row));
            Arguments += Quoted(Path + ":" + Name) + " ";
        }
        break;
    case 3:
        Executable = FrodoSettings.Location;
        break;
    case 4:
        // VICE 3's own options; then the image, or the image and the file to run.
        Executable = ViceSettings.Location;
        Arguments = ViceSettings.TrueDrive ? " -drive8truedrive" : " +drive8truedrive";
        Arguments += ViceSettings.FastLoad ? " -autostart-warp" : " +autostart-warp";
        Arguments += ViceSettings.Windowed ? " +fullscreen" : " -fullscreen";
        Arguments += ViceSettings.AutoRun ? " -autostart " : " -autoload ";
        Arguments +=
            Quoted(Boot || View->Empty() ? Path : Path + ":" + WinViceProgramName(View->Cell(1, Row)));
        break;
    default:
        break;
    }

    // "~/" is the home folder, a bare name is looked up on PATH.
    const std::string Program = ProgramPath::Find(Executable);
    if (Program.find('/') == std::string::npos || !IsFile(Program)) {
        Prompts.ShowMessage(NotFoundMessage + QString::fromStdString(Executable));
        return;
    }
    const int ErrorCode = Processes.StartProcess(Program, Arguments, ExecutableFolder(Program));
    if (ErrorCode != 0) {
        Prompts.ShowMessage(StartErrorMessage + QString::number(ErrorCode) + ": " +
                            QString::fromLocal8Bit(std::strerror(ErrorCode)));
        return;
    }
    if (!EmulatorWatch) {
        EmulatorWatch = new QTimer(this);
        EmulatorWatch->setInterval(WatchMilliseconds);
        connect(EmulatorWatch, &QTimer::timeout, this, [this] { Guarded([this] { ShowEarlyFailures(); }); });
    }
    EmulatorWatch->start();
}

void TMainForm::ShowEarlyFailures() {
    if (!Processes.Watching()) EmulatorWatch->stop();
    for (const TEarlyFailure& Failure : Processes.TakeEarlyFailures()) {
        QString Text = EarlyEndMessage + QString::fromStdString(Failure.Program) + ": ";
        if (Failure.Signal != 0)
            Text += QStringLiteral("Signal %1 (%2)")
                        .arg(Failure.Signal)
                        .arg(QString::fromLocal8Bit(strsignal(Failure.Signal)));
        else
            Text += QStringLiteral("Exit Status %1").arg(Failure.ExitStatus);
        if (!Failure.LastLines.empty())
            Text +=
                "\r\n\r\n" + QString::fromLocal8Bit(Failure.LastLines).replace('\n', QStringLiteral("\r\n"));
        Prompts.ShowMessage(Text);
    }
}

void TMainForm::RunClick() {
    Guarded([this] { LaunchEmulator(false); });
}

void TMainForm::BootDisk1Click() {
    Guarded([this] { LaunchEmulator(true); });
}

void TMainForm::View1DblClick(TD64StringGrid*) {
    RunClick();
}

void TMainForm::View1KeyPress(TD64StringGrid*, QChar Key) {
    if (Key == QChar(13)) RunClick();
}

void TMainForm::EmuSelection(QAction* Item) {
    Guarded([this, Item] {
        Item->setChecked(true);
        const int Tag = Item->data().toInt();
        if (Tag >= 1 && Tag <= 4) CurrentEmulator = Tag;
        // Frodo is no radio item: its check goes when another emulator becomes current.
        if (Item != Frodo1) Frodo1->setChecked(false);
        ShowCurrentEmulator();
    });
}

void TMainForm::paEmulatorClick() {
    Guarded([this] {
        // Round the three that can be chosen: CCS64, WinVice, VICE.
        if (CurrentEmulator == 1)
            EmuSelection(WinVice1);
        else if (CurrentEmulator == 2)
            EmuSelection(Vice1);
        else if (CurrentEmulator == 4)
            EmuSelection(CCS64Win321);
    });
}

void TMainForm::Options1Click() {
    Guarded([this] {
        TEmuDlg Dialog(Prompts, this);
        Dialog.Fill(CCS64Settings, WinViceSettings, CurrentEmulator);
        Dialog.FillVice(ViceSettings);
        if (Dialog.exec() != QDialog::Accepted) return;
        // The current emulator stays whatever page was open.
        Dialog.ReadBack(CCS64Settings, WinViceSettings);
        Dialog.ReadBackVice(ViceSettings);
    });
}

void TMainForm::AboutClick() {
    Guarded([this] {
        TInfoDlg Dialog(System, Prompts, this);
        Dialog.exec();
    });
}
