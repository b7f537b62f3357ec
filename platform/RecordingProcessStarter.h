// Test double for IProcessStarter: records every start and answers with a chosen
// error code (0: started). Nothing is run; the failures queued are handed out as the
// early failures of the starts.
#pragma once

#include "ProcessStarter.h"

class TRecordingProcessStarter : public IProcessStarter {
  public:
    struct TStart {
        std::string Program;
        std::string CommandLine;
        std::string WorkingDir;
    };

    std::vector<TStart> Starts;
    int ErrorCode = 0;
    std::vector<TEarlyFailure> Failures;

    int StartProcess(const std::string& Program, const std::string& CommandLine,
                     const std::string& WorkingDir) override;
    std::vector<TEarlyFailure> TakeEarlyFailures() override;
    bool Watching() const override { return !Failures.empty(); }
};
