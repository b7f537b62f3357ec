// Starting an outside program and forgetting it, as the emulator launch needs. The
// window holds an IProcessStarter; the program uses TPosixProcessStarter, tests may
// use TRecordingProcessStarter.
#pragma once

#include <string>
#include <vector>

// A started program that failed within its first seconds: how it ended and the last lines
// it wrote to its standard error.
struct TEarlyFailure {
    std::string Program;
    int ExitStatus = 0; // its exit status, when it exited
    int Signal = 0;     // the signal that ended it, else 0
    std::string LastLines;
};

class IProcessStarter {
  public:
    virtual ~IProcessStarter() = default;

    // Starts Program directly, never through a shell, with the arguments that
    // CommandLine holds by the Windows command-line rules (WindowsCommandLine::Split),
    // with WorkingDir as its current folder (empty: this process's own) and this
    // process's environment. Does not wait for it; its exit status is collected when it
    // ends, so it leaves no zombie behind. Returns 0 when the program has been
    // started, otherwise the operating system's error code.
    virtual int StartProcess(const std::string& Program, const std::string& CommandLine,
                             const std::string& WorkingDir) = 0;

    // The started programs that ended with a failure within their first seconds and have
    // not been taken yet. Never waits.
    virtual std::vector<TEarlyFailure> TakeEarlyFailures() = 0;
    // Whether a started program is still in its first seconds, or a failure waits to be taken.
    virtual bool Watching() const = 0;
};
