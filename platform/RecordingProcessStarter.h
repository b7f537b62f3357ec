// Test double for IProcessStarter: records every start and answers with a chosen
// error code (0: started). Nothing is run.
#pragma once

#include "ProcessStarter.h"

#include <vector>

class TRecordingProcessStarter : public IProcessStarter {
  public:
    struct TStart {
        std::string Program;
        std::string CommandLine;
        std::string WorkingDir;
    };

    std::vector<TStart> Starts;
    int ErrorCode = 0;

    int StartProcess(const std::string& Program, const std::string& CommandLine,
                     const std::string& WorkingDir) override;
};
