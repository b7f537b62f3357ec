// The command-line spelling of PETSCII names, shared with other C64 command-line
// tools (cc1541, cbmconvert): host a-z are PETSCII 0x41-0x5A, host A-Z are
// 0xC1-0xDA, 0x20-0x40, '[' and ']' stand for themselves, every other byte is {$XX}.
// The window and d64tool name imported and exported host files by it.
#pragma once

#include "cmd_types.h"

#include <stdexcept>
#include <string>

// A command-line name that does not follow the convention.
class ECliNameError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Raw PETSCII bytes to their command-line spelling; every byte string has exactly one.
std::string PetsciiToCliName(const PetsciiString& Petscii);

// A command-line spelling back to raw bytes; the {$XX} form takes upper- or lower-case
// hex digits. Raises ECliNameError naming the first character it cannot read.
PetsciiString CliNameToPetscii(const std::string& Text);

// The C64 name of a host file: its name without the extension, read by the convention.
// A host name is not written for this program, so a character the convention does not
// spell (an underscore, a broken {$XX}, the bytes of a UTF-8 letter) stands for its own
// byte instead of being refused. Not cut: the caller cuts to 16 and says so.
PetsciiString HostFileNameToPetscii(const std::string& HostPath);
