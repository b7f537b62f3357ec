// Writing host files into an image: the C64 name and file type a host file gets,
// and the directory entry handed to the engine's file writer.
#pragma once

#include "c64disk.h"

#include <string>

// .seq, .usr and .del (any letter case) pick their kind; everything else is PRG.
TFileKind KindFromHostPath(const std::string& HostPath);

// Number of directory blocks a file of this many bytes takes when written: its data
// sectors (one for an empty file), plus for REL files the side sectors listing them
// (120 per side sector).
int ImportedBlockCount(size_t ByteCount, TFileKind Kind);

// Appends Bytes to Disk as a closed file of this kind and name, by the rules the
// engine uses when copying a file between disks. Entry bytes 21-29 are zero apart
// from what a REL file needs (side-sector link, RecordLength). Raises the engine's
// refusals; ECliError for a REL file too large for six side sectors.
void ImportBytes(TC64Disk& Disk, const ByteArray& Bytes, const PetsciiString& Name, TFileKind Kind,
                 int RecordLength);
