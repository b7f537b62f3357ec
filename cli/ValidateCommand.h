// d64tool validate: the findings of the engine's Validate, one line each, and the repair.
#pragma once

#include "CommandLine.h"
#include "Validate.h"

#include <iosfwd>
#include <string>

// One finding as a line without its end: a kind word, the file (quoted, in the
// command-line spelling) and the track/sector, then what is wrong.
std::string FindingLine(const TFinding& Finding);

// Exit 0 for a consistent image, or one whose remaining findings a repair only reports;
// 1 with findings left to repair.
int ValidateImage(const TCommandLine& Line, std::ostream& Out, std::ostream& Err);
