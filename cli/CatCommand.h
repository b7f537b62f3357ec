// What d64tool cat prints of a file: its BASIC listing, PETSCII text or hex rows as UTF-8
// text (C64 characters as their Unicode look-alikes, {$XX} where there is none), or its
// bytes unchanged.
#pragma once

#include "PetsciiUnicode.h"
#include "cmd_types.h"

#include <iosfwd>

enum class TCatView { Fitting, Basic, Text, Hex, Raw };

// Writes a file's view to Out. Fitting takes the view the viewer window opens on; a picture
// is printed as hex.
void WriteFileView(const ByteArray& Bytes, TFileKind Kind, TCatView View, TCharSet Set, std::ostream& Out);
