// Starting a program with posix_spawn: its own arguments, folder and our environment.
// A thread per started program passes its standard error on to ours, keeps the end of it
// for the first seconds, and collects its exit status when it ends.
#include "PosixProcessStarter.h"

#include "WindowsCommandLine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

struct TPosixProcessStarter::TShared {
    std::mutex Lock;
    int InFirstSeconds = 0;
    std::vector<TEarlyFailure> Failures;
};

namespace {

// The most of a program's standard error kept, and the most lines of it reported.
const std::size_t TailBytes = 8192;
const int TailLines = 10;

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

// Reads what the program wrote to its standard error and passes it on to ours; while Tail
// is given, also keeps its end there. False once the pipe is closed.
bool PassOn(int Pipe, std::string* Tail) {
    char Buffer[4096];
    const ssize_t Count = read(Pipe, Buffer, sizeof Buffer);
    if (Count < 0) return errno == EINTR || errno == EAGAIN;
    if (Count == 0) return false;
    for (ssize_t Written = 0; Written < Count;) {
        const ssize_t Step =
            write(STDERR_FILENO, Buffer + Written, static_cast<std::size_t>(Count - Written));
        if (Step < 0 && errno != EINTR) break;
        Written += std::max<ssize_t>(Step, 0);
    }
    if (Tail) {
        Tail->append(Buffer, static_cast<std::size_t>(Count));
        if (Tail->size() > TailBytes) Tail->erase(0, Tail->size() - TailBytes);
    }
    return true;
}

bool Readable(int Pipe, int Milliseconds) {
    pollfd Poll{Pipe, POLLIN, 0};
    return poll(&Poll, 1, Milliseconds) > 0;
}

// The last lines of a program's standard error, without the final line break.
std::string LastLines(const std::string& Tail) {
    std::size_t Start = Tail.size();
    while (Start > 0 && Tail[Start - 1] == '\n')
        --Start;
    const std::size_t End = Start;
    for (int Lines = 0; Start > 0 && Lines < TailLines; --Start)
        if (Tail[Start - 1] == '\n' && ++Lines == TailLines) break;
    return Tail.substr(Start, End - Start);
}

// Watches one started program from its start to its end (see the file's comment).
void Watch(std::future<pid_t> Started, int Pipe, std::string Program,
           std::shared_ptr<TPosixProcessStarter::TShared> Shared) {
    const pid_t Pid = Started.get();
    std::string Tail;
    bool Open = Pid > 0;
    bool Ended = Pid <= 0;
    int Status = 0;
    const auto Deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(TPosixProcessStarter::EarlySeconds);
    while (!Ended && std::chrono::steady_clock::now() < Deadline) {
        if (Open && Readable(Pipe, 50))
            Open = PassOn(Pipe, &Tail);
        else if (!Open)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const pid_t Result = waitpid(Pid, &Status, WNOHANG);
        Ended = Result == Pid || (Result < 0 && errno != EINTR);
    }
    while (Pid > 0 && Ended && Open && Readable(Pipe, 0))
        Open = PassOn(Pipe, &Tail);
    {
        const std::lock_guard<std::mutex> Guard(Shared->Lock);
        if (Pid > 0 && Ended && !(WIFEXITED(Status) && WEXITSTATUS(Status) == 0))
            Shared->Failures.push_back({Program, WIFEXITED(Status) ? WEXITSTATUS(Status) : 0,
                                        WIFSIGNALED(Status) ? WTERMSIG(Status) : 0, LastLines(Tail)});
        if (Pid > 0) --Shared->InFirstSeconds;
    }
    // The rest of its life: its standard error passed on until closed, then its status.
    while (Open)
        Open = PassOn(Pipe, nullptr);
    close(Pipe);
    while (!Ended && waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

TPosixProcessStarter::TPosixProcessStarter() : Shared(std::make_shared<TShared>()) {}

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

std::vector<TEarlyFailure> TPosixProcessStarter::TakeEarlyFailures() {
    const std::lock_guard<std::mutex> Guard(Shared->Lock);
    return std::exchange(Shared->Failures, {});
}

bool TPosixProcessStarter::Watching() const {
    const std::lock_guard<std::mutex> Guard(Shared->Lock);
    return Shared->InFirstSeconds > 0 || !Shared->Failures.empty();
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

    // The program's standard error goes through a pipe to a watching thread. Without a
    // pipe or a thread it goes straight to ours and the status is collected at a later start.
    int Pipe[2] = {-1, -1};
    std::promise<pid_t> Spawned;
    std::thread Watcher;
    if (pipe2(Pipe, O_CLOEXEC) == 0) {
        try {
            Watcher = std::thread(Watch, Spawned.get_future(), Pipe[0], Executable, Shared);
            posix_spawn_file_actions_adddup2(&Setup.Actions, Pipe[1], STDERR_FILENO);
        } catch (const std::system_error&) {
            close(Pipe[0]);
        }
    }
    // Handles are not inherited: only the standard streams go to the program.
    posix_spawn_file_actions_addclosefrom_np(&Setup.Actions, 3);
    // The program starts with no blocked and no ignored signals, whatever ours are, but
    // for SIGPIPE when its standard error is our pipe: once this program has ended, a
    // write there fails instead of ending the emulator. This program ignores SIGPIPE from
    // then on too, so that passing on to a closed standard error cannot end it.
    sigset_t NoSignals;
    sigset_t AllSignals;
    sigemptyset(&NoSignals);
    sigfillset(&AllSignals);
    if (Watcher.joinable()) {
        std::signal(SIGPIPE, SIG_IGN);
        sigdelset(&AllSignals, SIGPIPE);
    }
    posix_spawnattr_setsigmask(&Setup.Attributes, &NoSignals);
    posix_spawnattr_setsigdefault(&Setup.Attributes, &AllSignals);
    posix_spawnattr_setflags(&Setup.Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t Pid = 0;
    // Our own environment: a program started without one could not reach the display.
    const int Result =
        posix_spawn(&Pid, Executable.c_str(), &Setup.Actions, &Setup.Attributes, Argv.data(), environ);
    if (Pipe[1] >= 0) close(Pipe[1]);
    if (Watcher.joinable()) {
        if (Result == 0) {
            const std::lock_guard<std::mutex> Guard(Shared->Lock);
            ++Shared->InFirstSeconds;
        }
        Spawned.set_value(Result == 0 ? Pid : -1);
        Watcher.detach();
    } else if (Result == 0) {
        Started.push_back(Pid);
    }
    return Result;
}
