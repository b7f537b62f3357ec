// TListing: what `list` and `bam` show of an image, read through the engine and
// rendered as plain text (names in the command-line convention) or as JSON.
#pragma once

#include "c64disk.h"

#include <string>
#include <vector>

struct TListing {
    PetsciiString HeaderLine;
    PetsciiString DiskName;
    PetsciiString DiskId;
    PetsciiString DosType;
    int FreeBlocks = 0;
    int Tracks = 0;
    std::vector<TC64DirRecord> Files;

    // Reads header and directory. When the directory walk fails, the files met
    // before the failure stay in Files and the engine's exception is raised.
    void Read(TC64Disk& Disk);

    // Header line, one line per file, then the free-blocks line.
    std::string FormatText(bool WithSummary = true) const;
    std::string FormatJson() const;
};

// Text as a JSON string: quotes and backslashes escaped, other bytes outside printable
// ASCII as \u00XX.
std::string JsonString(const std::string& Text);

// One listing row: blocks, quoted name, type text and first track/sector.
std::string FormatListingRow(const TC64DirRecord& File);

// The allocation map: two rows of track numbers, then one row per sector number and
// one column per track: '*' used, '.' free, blank where a track has no such sector.
std::string FormatBamChart(TC64Disk& Disk);
