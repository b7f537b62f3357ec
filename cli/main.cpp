// d64tool: the disk image engine's command-line face for scripts and outside checks.
#include "Commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = RunD64Tool(args, std::cout, std::cerr);
    std::cout.flush();
    return std::cout.fail() && status == 0 ? 1 : status;
}
