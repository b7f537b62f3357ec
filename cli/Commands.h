// The subcommands of d64tool over the engine's public operations, and the one entry
// that runs a command line and turns every failure into a message and exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit status of d64tool.
enum TExitCode : int { ecOk = 0, ecRefused = 1, ecUsage = 2 };

// Runs one command line (arguments without the program name). Listings go to Out;
// refusals and usage errors go to Err.
int RunD64Tool(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);
