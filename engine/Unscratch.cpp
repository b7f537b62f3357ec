// Unscratch: tracing a scratched file's blocks and allocating them again.
#include "Unscratch.h"

#include <cstring>

namespace {

// The blocks of a scratched entry: its chain, then for a relative file its side sectors.
// Empty with Reason set when they cannot all come back.
std::vector<TTrackSector> TraceScratched(TC64Disk& Disk, const TC64Disk::TSectorsInUse& InUse,
                                         const uint8_t* Entry, bool Rel, std::vector<bool>& Taken,
                                         std::string& Reason) {
    std::vector<TTrackSector> Blocks;
    const auto Walk = [&](TTrackSector ts) {
        for (; TrackOf(ts) != 0; ts = ReadTrackSector(Disk.GetSector(ts))) {
            if (!InUse.OnDisk(ts)) {
                Reason = "its chain leaves the disk";
                return false;
            }
            const size_t Index = InUse.Index(ts);
            const auto& [Directory, Holder] = InUse.At(ts);
            if (Taken[Index]) {
                Reason = "its chain loops or runs into a block taken again";
                return false;
            }
            if (Directory || Holder || Disk.IsSectorUsed(ts)) {
                Reason = "its blocks have been used again";
                return false;
            }
            Taken[Index] = true;
            Blocks.push_back(ts);
        }
        return true;
    };
    if (!Walk(MakeTrackSector(Entry[3], Entry[4]))) return {};
    if (Rel && !Walk(MakeTrackSector(Entry[21], Entry[22]))) return {};
    return Blocks;
}

bool IsScratched(const uint8_t* Entry) {
    // A deleted entry is wiped to zeros: no first block to come back from.
    return Entry[2] == 0 && Entry[3] != 0 && Entry[5] != 0;
}

bool HasSideSectors(const uint8_t* Entry) {
    return Entry[21] != 0 && Entry[23] != 0;
}

} // namespace

std::vector<TScratchedFile> FindScratchedFiles(TC64Disk& Disk) {
    const TC64Disk::TSectorsInUse InUse = Disk.TraceSectors(nullptr, nullptr);
    std::vector<TScratchedFile> Files;
    Disk.ReadDirectory(TFileKindSet{fkEmpty}, [&](const TC64DirRecord& Record) {
        if (!IsScratched(Record.Entry)) return;
        TScratchedFile& File = Files.emplace_back();
        File.Entry = Record.Entry;
        File.Name = Record.Name;
        File.Kind = HasSideSectors(Record.Entry) ? fkRel : fkPrg;
        // Each file on its own: two lost to each other are both offered, and the
        // second of them refused when both are chosen.
        std::vector<bool> Taken(InUse.Holders.size());
        const std::vector<TTrackSector> Blocks =
            TraceScratched(Disk, InUse, Record.Entry, File.Kind == fkRel, Taken, File.Reason);
        File.Lost = Blocks.empty();
        File.Blocks = File.Lost ? Record.Blocks : static_cast<int>(Blocks.size());
    });
    return Files;
}

void UnscratchFiles(TC64Disk& Disk, const std::vector<uint8_t*>& Entries) {
    const TC64Disk::TSectorsInUse InUse = Disk.TraceSectors(nullptr, nullptr);
    std::vector<bool> Taken(InUse.Holders.size());
    std::vector<std::pair<uint8_t*, std::vector<TTrackSector>>> Found;
    for (uint8_t* Entry : Entries) {
        std::string Reason = "it is not a scratched file";
        std::vector<TTrackSector> Blocks;
        if (IsScratched(Entry))
            Blocks = TraceScratched(Disk, InUse, Entry, HasSideSectors(Entry), Taken, Reason);
        if (Blocks.empty())
            throw EC64DiskException("Can't unscratch \"" + PetsciiToString(Entry + 5, 15) + "\": " + Reason +
                                    ".");
        Found.emplace_back(Entry, std::move(Blocks));
    }
    Disk.CheckWriteAccess();

    const TC64Disk::TKeptSectors OldBam = Disk.KeepSystemSectors();
    const bool Bracketed = Disk.Updating();
    if (!Bracketed) Disk.BeginUpdate();
    try {
        for (const auto& [Entry, Blocks] : Found) {
            for (TTrackSector ts : Blocks)
                Disk.SetSectorUsed(ts, true);
            Entry[2] = static_cast<uint8_t>(0x80 | (HasSideSectors(Entry) ? 4 : 2));
        }
        if (!Bracketed) Disk.EndUpdate(true);
    } catch (...) {
        // The disk in memory stays what its file holds.
        if (Disk.Updating() && !Bracketed) Disk.EndUpdate(false);
        TC64Disk::PutBack(OldBam);
        for (const auto& Kept : Found)
            Kept.first[2] = 0;
        throw;
    }
}
