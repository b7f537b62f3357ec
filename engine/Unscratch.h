// Unscratch: bringing back scratched files. A scratched entry keeps its name, its first
// track/sector and its block count; only its type byte is 0, and its blocks are free in
// the BAM with their contents kept. Such a file can come back while its chain (and, for
// a relative file, its side sectors) is intact and every block of it is still free and
// held by nothing listed; otherwise it is lost.
#pragma once

#include "c64disk.h"

#include <string>
#include <vector>

struct TScratchedFile {
    uint8_t* Entry = nullptr; // the scratched entry in the disk's image
    PetsciiString Name;
    // The kind it comes back as: the scratch dropped the type, so REL when the entry's
    // side-sector fields are set, else PRG.
    TFileKind Kind = fkPrg;
    int Blocks = 0;     // the blocks of its chain and side sectors, as far as they trace
    bool Lost = false;  // a block is in use again, or the chain is broken: not offered
    std::string Reason; // why it is lost
};

// The scratched entries of the directory, in directory order, each offered or lost.
// Raises for a directory chain that loops or leaves the disk.
std::vector<TScratchedFile> FindScratchedFiles(TC64Disk& Disk);
// Brings the named entries back: the type byte closed with its kind, the blocks allocated
// in the BAM, all in one save (or the caller's update bracket). Raises, with nothing
// changed, when one of them is lost or they share a block.
void UnscratchFiles(TC64Disk& Disk, const std::vector<uint8_t*>& Entries);
