// Directory order and file names: moving listed entries up, down or to a place, sorting
// the directory, and renaming with the drive's check for a name already taken. Only the
// contents of directory slots change: no file chain, BAM bit or block count.
#pragma once

#include "c64disk.h"

#include <vector>

enum class TSortKey { Name, Type, Size };

// The slots of the listed files (every kind but empty) in directory order.
std::vector<uint8_t*> ListedEntries(TC64Disk& Disk);

// Puts the listed files into the listed slots in a new order: the file at listing
// index Order[i] goes to the i-th listed slot. Each slot keeps its first two bytes (the
// chain link in a sector's first slot); scratched and empty slots stay where they are.
// One save; on a failure the directory is put back and the exception passed on.
void ReorderDirectory(TC64Disk& Disk, const std::vector<size_t>& Order);

// Moves the given listed files one place up (Step -1) or down (Step +1), each past the
// next file that does not move; a file at the end stays. Returns the slots they now hold.
std::vector<uint8_t*> MoveEntries(TC64Disk& Disk, const std::vector<const uint8_t*>& Entries, int Step);

// Moves the given listed files, in their listing order, so that the first of them comes
// to listing index Position (clamped to the listing). Returns the slots they now hold.
std::vector<uint8_t*> MoveEntriesTo(TC64Disk& Disk, const std::vector<const uint8_t*>& Entries,
                                    size_t Position);

// Sorts the listed files by name (bytewise), by type (DEL, SEQ, PRG, USR, REL, others;
// then by name) or by size in blocks (smallest first; then by name). Files that compare
// equal keep their order.
void SortDirectory(TC64Disk& Disk, TSortKey Key);

// The listed file other than Except whose name (up to its first shifted space, as the
// drive compares names) is Name; none when the name is free.
const uint8_t* FindListedName(TC64Disk& Disk, const PetsciiString& Name, const uint8_t* Except = nullptr);

// Renames a listed file (at most 16 bytes). Refuses with "FILE EXISTS" a name another
// listed file has, unless AllowDuplicate, and an empty name or one over 16 bytes.
void RenameEntry(TC64Disk& Disk, uint8_t* Entry, const PetsciiString& Name, bool AllowDuplicate = false);
