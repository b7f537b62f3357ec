// Starting a program with posix_spawn: its own arguments, folder and our environment.
#include "PosixProcessStarter.h"

#include "WindowsCommandLine.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace {

// Owns the spawn attributes and file actions for the length of one start.
struct TSpawnSetup {
    posix_spawn_file_actions_t Actions;
    posix_spawnattr_t Attributes;

    TSpawnSetup() {
        posix_spawn_file_actions_init(&Actions);
        posix_spawnattr_init(&Attributes);
    }
    ~TSpawnSetup() {
        posix_spawnattr_destroy(&Attributes);
        posix_spawn_file_actions_destroy(&Actions);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;
};

// Collects the exit status of one started program as soon as it ends, so that it does not
// linger as a zombie while the editor runs. Only this child is waited for: the statuses of
// other children (Qt's own processes) stay with their owners.
void ReapWhenEnded(pid_t Pid) {
    std::thread([Pid] {
        int Status = 0;
        while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

TPosixProcessStarter::~TPosixProcessStarter() {
    ReapFinished();
}

void TPosixProcessStarter::ReapFinished() {
    std::erase_if(Started, [](pid_t Pid) {
        int Status = 0;
        const pid_t Result = waitpid(Pid, &Status, WNOHANG);
        return Result == Pid || (Result < 0 && errno == ECHILD);
    });
}

int TPosixProcessStarter::StartProcess(const std::string& Program, const std::string& CommandLine,
                                       const std::string& WorkingDir) {
    ReapFinished();

    // The child changes its folder before it runs the program, so a relative program
    // path is made absolute here, against our own folder, as the user meant it.
    std::error_code Error;
    const std::string Executable = std::filesystem::absolute(Program, Error).string();
    if (Error) return Error.value();

    std::vector<std::string> Arguments = WindowsCommandLine::Split(CommandLine);
    std::vector<char*> Argv;
    Argv.reserve(Arguments.size() + 2);
    Argv.push_back(const_cast<char*>(Executable.c_str()));
    for (std::string& Argument : Arguments)
        Argv.push_back(Argument.data());
    Argv.push_back(nullptr);

    TSpawnSetup Setup;
    if (!WorkingDir.empty()) posix_spawn_file_actions_addchdir_np(&Setup.Actions, WorkingDir.c_str());
    // Handles are not inherited: only the standard streams go to the program.
    posix_spawn_file_actions_addclosefrom_np(&Setup.Actions, 3);
    // The program starts with no blocked and no ignored signals, whatever ours are.
    sigset_t NoSignals;
    sigset_t AllSignals;
    sigemptyset(&NoSignals);
    sigfillset(&AllSignals);
    posix_spawnattr_setsigmask(&Setup.Attributes, &NoSignals);
    posix_spawnattr_setsigdefault(&Setup.Attributes, &AllSignals);
    posix_spawnattr_setflags(&Setup.Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t Pid = 0;
    // Our own environment: a program started without one could not reach the display.
    const int Result =
        posix_spawn(&Pid, Executable.c_str(), &Setup.Actions, &Setup.Attributes, Argv.data(), environ);
    if (Result != 0) return Result;
    try {
        ReapWhenEnded(Pid);
    } catch (const std::system_error&) {
        // No thread to wait with: the program is reaped at the next start instead.
        Started.push_back(Pid);
    }
    return 0;
}
