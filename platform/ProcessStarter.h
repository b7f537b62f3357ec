// Starting an outside program and forgetting it, as the emulator launch needs. The
// window holds an IProcessStarter; the program uses TPosixProcessStarter, tests may
// use TRecordingProcessStarter.
#pragma once

#include <string>

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
};
