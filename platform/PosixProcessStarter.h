// The real IProcessStarter: posix_spawn of the program itself, no shell in between.
#pragma once

#include "ProcessStarter.h"

#include <memory>
#include <sys/types.h>

class TPosixProcessStarter : public IProcessStarter {
  public:
    // How long a started program's end counts as a failed start.
    static constexpr int EarlySeconds = 3;

    TPosixProcessStarter();
    TPosixProcessStarter(const TPosixProcessStarter&) = delete;
    TPosixProcessStarter& operator=(const TPosixProcessStarter&) = delete;
    ~TPosixProcessStarter() override;

    int StartProcess(const std::string& Program, const std::string& CommandLine,
                     const std::string& WorkingDir) override;
    std::vector<TEarlyFailure> TakeEarlyFailures() override;
    bool Watching() const override;

    // What the watching threads share with the starter; it outlives both.
    struct TShared;

  private:
    // Collects the exit status of those started programs that no thread waits for and
    // that have ended. Never waits.
    void ReapFinished();

    std::vector<pid_t> Started;
    std::shared_ptr<TShared> Shared;
};
