// Validate: what the 1541's Validate command checks and rebuilds. A fresh BAM from the
// directory chain and the chains (and REL side sectors) of all closed files, compared
// with the one on the disk; unclosed files, broken chains and wrong counts are named.
// Repair writes the fresh BAM and scratches unclosed files; broken chains and
// cross-linked files are only reported.
#pragma once

#include "c64disk.h"

#include <functional>
#include <string>
#include <vector>

enum class TFindingKind {
    DirectoryChain,   // the directory chain loops or leaves the disk: nothing can be rebuilt
    IllegalLink,      // a chain links to a track/sector off the disk
    ChainLoops,       // a chain links back to one of its own sectors
    CrossLinked,      // a chain links into another file's sectors or the directory
    Unclosed,         // a file never closed ("splat"); scratched on repair
    UnownedAllocated, // allocated in the BAM, but nothing holds the sector
    FreeInUse,        // free in the BAM, but a file or the directory holds it
    WrongFreeCount,   // a track's free count differs from its free sectors in the BAM
    WrongBlockCount,  // a directory entry's block count differs from its chain
    SideTwoCounts,    // a 1571 disk's side two counted on its BAM track rather than in the header
};

struct TFinding {
    TFindingKind Kind;
    PetsciiString File;          // the file concerned; empty for none or the directory
    bool Directory = false;      // the directory (or header) is concerned
    TTrackSector Where = 0;      // the sector concerned; for a free count, sector 0 of the track
    TTrackSector Link = 0;       // the link followed (broken chains)
    PetsciiString Other;         // the file a cross-link runs into; empty with Directory
    int Stated = 0, Counted = 0; // the count on the disk and the one found
    std::string Detail;          // the reason a directory chain cannot be read
};

// Where a finding is, as a line shows it: "track 18" for a free count, "entry" for a chain
// whose first link is wrong, else "track/sector"; empty for an unreadable directory.
std::string FindingPlace(const TFinding& Finding);
// What is wrong, in words; Name spells the other file's name of a cross-link.
std::string FindingProblem(const TFinding& Finding,
                           const std::function<std::string(const PetsciiString&)>& Name);

// Whether Repair puts a finding right (the BAM and unclosed files) or only reports it.
bool RepairFixes(TFindingKind Kind);

struct TValidation {
    std::vector<TFinding> Findings;
    // Whether Repair would change the disk.
    bool NeedsRepair() const;
};

// Checks the disk; changes nothing.
TValidation Validate(TC64Disk& Disk);
// Validates, then writes the fresh BAM and scratches unclosed files in one save (left
// to the caller's update bracket when one is open). Returns the findings acted on.
// Raises, with nothing changed, for a directory chain that cannot be read and for a
// soft write protected disk.
TValidation Repair(TC64Disk& Disk);
