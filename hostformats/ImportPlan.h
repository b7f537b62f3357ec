// A batch of files into an image: what to do where a name is already taken (asked
// once per file), then the whole batch written in one save or not at all.
#pragma once

#include "HostImport.h"

#include <functional>
#include <vector>

// The answer for a file whose name the disk, or an earlier file of the batch, holds.
enum class TSameName {
    Replace,  // the file of that name is scratched and the new one written
    KeepBoth, // the new file is written under a free name: NAME(2), NAME(3), ...
    Skip,     // the new file is not written
};
using TSameNameQuestion = std::function<TSameName(const PetsciiString& Name)>;

// For each file of a plan: whether it is written, and the listed files it replaces.
struct TImportStep {
    bool Write = true;
    std::vector<uint8_t*> Replaced;
};

struct TImportPlan {
    std::vector<TImportFile> Files;
    std::vector<TImportStep> Steps; // one per file
};

// Settles the names of Files against the disk, asking Ask for each taken name (a name
// counts up to its first shifted space, as on the drive). KeepBoth renames the file in
// the plan. Nothing on the disk changes.
TImportPlan PlanImport(TC64Disk& Disk, std::vector<TImportFile> Files, const TSameNameQuestion& Ask);

// Plans copying Entries, listed on another disk, onto Disk as PlanImport plans host files;
// the files' bytes are read when CopyPlannedFile writes them.
TImportPlan PlanCopy(TC64Disk& Disk, const std::vector<uint8_t*>& Entries, const TSameNameQuestion& Ask);

// Writes file I of a copy plan, read from Source (SourceEntry is its entry there): the files
// it replaces scratched, then the file added, a partition whole to the sectors it holds on
// Source. All of it or, when a step fails, none of it; the save as RunImport makes it.
void CopyPlannedFile(TC64Disk& Disk, TC64Disk& Source, uint8_t* SourceEntry, TImportPlan& Plan, size_t I);

// Whether the plan writes any file (not every file skipped).
bool WritesAnything(const TImportPlan& Plan);

// Writes the plan in one update bracket and one save: each replaced file scratched, each
// file added by TC64Disk::AddFile. A refusal ("Disk is full!", "Maximum number of files
// reached!", ...) puts every byte of the image back before it is raised, so that neither
// the disk object nor the file holds any part of the batch. Inside a caller's update
// bracket the save is left to the caller. Returns the entries of the files written; a
// plan that writes nothing writes not even the image.
std::vector<uint8_t*> RunImport(TC64Disk& Disk, const TImportPlan& Plan);
