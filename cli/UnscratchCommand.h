// d64tool unscratch: scratched files brought back by name.
#pragma once

#include "CommandLine.h"

#include <iosfwd>

// Brings back the scratched files the names match, in one change of the image. Refuses,
// with the image unchanged, a name that matches no scratched file, one that matches
// several (unless --all) and a file whose blocks are lost.
int UnscratchImage(const TCommandLine& Line, std::ostream& Err);
