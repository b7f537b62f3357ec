// The recording process starter used by the window tests.
#include "RecordingProcessStarter.h"

#include <utility>

int TRecordingProcessStarter::StartProcess(const std::string& Program, const std::string& CommandLine,
                                           const std::string& WorkingDir) {
    Starts.push_back({Program, CommandLine, WorkingDir});
    return ErrorCode;
}

std::vector<TEarlyFailure> TRecordingProcessStarter::TakeEarlyFailures() {
    return std::exchange(Failures, {});
}
