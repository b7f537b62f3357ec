// d64tool: the disk image engine's command-line face for scripts and outside checks.
#include "Commands.h"
#include "hostfile.h"

#include <csignal>
#include <iostream>

namespace {

// An interrupted command leaves no scratch or temporary files behind.
extern "C" void OnSignal(int Signal) {
    HostFile::RemoveTemporaryFiles();
    std::signal(Signal, SIG_DFL);
    std::raise(Signal);
}

} // namespace

int main(int argc, char** argv) {
    // A signal ignored by whoever started us (nohup, a background job) stays ignored.
    for (int Signal : {SIGINT, SIGTERM, SIGHUP})
        if (std::signal(Signal, OnSignal) == SIG_IGN) std::signal(Signal, SIG_IGN);
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = RunD64Tool(args, std::cout, std::cerr);
    std::cout.flush();
    return std::cout.fail() && status == 0 ? 1 : status;
}
