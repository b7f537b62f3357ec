// The real IProcessStarter: posix_spawn of the program itself, no shell in between.
#pragma once

#include "ProcessStarter.h"

#include <sys/types.h>
#include <vector>

class TPosixProcessStarter : public IProcessStarter {
  public:
    TPosixProcessStarter() = default;
    TPosixProcessStarter(const TPosixProcessStarter&) = delete;
    TPosixProcessStarter& operator=(const TPosixProcessStarter&) = delete;
    ~TPosixProcessStarter() override;

    int StartProcess(const std::string& Program, const std::string& CommandLine,
                     const std::string& WorkingDir) override;

  private:
    // Collects the exit status of those started programs that no thread waits for and
    // that have ended. Never waits.
    void ReapFinished();

    std::vector<pid_t> Started;
};
