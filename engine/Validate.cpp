// Validate and Repair: a fresh BAM traced from the directory, compared sector by sector.
#include "Validate.h"

#include "d71.h"

#include <array>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace {

std::string At(TTrackSector ts) {
    return std::to_string(TrackOf(ts)) + "/" + std::to_string(SectorOf(ts));
}

PetsciiString NameOf(const uint8_t* Entry) {
    return PetsciiToString(Entry + 5, 15);
}

TFinding& Add(TValidation& Result, TFindingKind Kind, PetsciiString File = {}, TTrackSector Where = 0) {
    TFinding& Finding = Result.Findings.emplace_back();
    Finding.Kind = Kind;
    Finding.File = std::move(File);
    Finding.Where = Where;
    return Finding;
}

// What a check leaves for a repair besides its findings.
struct TTrace {
    TC64Disk::TSectorsInUse InUse;
    std::vector<uint8_t*> Unclosed;
    bool Readable = false;
};

// Broken chains, as the walk that traces the fresh BAM meets them.
void ReportStop(TValidation& Result, std::unordered_set<const uint8_t*>& Broken,
                const TC64Disk::TSectorsInUse& InUse, const TC64Disk::TChainStop& At) {
    TFinding& Finding = Add(Result, TFindingKind::IllegalLink, NameOf(At.Entry), At.From);
    Finding.Link = At.Link;
    if (InUse.OnDisk(At.Link)) {
        const auto& [Directory, Holder] = InUse.At(At.Link);
        Finding.Kind = Holder == At.Entry ? TFindingKind::ChainLoops : TFindingKind::CrossLinked;
        Finding.Directory = Directory;
        if (Holder && Holder != At.Entry) Finding.Other = NameOf(Holder);
    }
    Broken.insert(At.Entry);
}

// A 1571 disk as cc1541 writes it: side two's free counts on 53/0 rather than in the
// header, and track 53 free but for that sector. Null for any other disk.
TD71* CountedOnBamTrack2(TC64Disk& Disk) {
    auto* D71 = dynamic_cast<TD71*>(&Disk);
    return D71 && D71->CountsOnBamTrack2() ? D71 : nullptr;
}

TValidation Check(TC64Disk& Disk, TTrace& Trace) {
    TValidation Result;
    std::unordered_set<const uint8_t*> Broken;
    try {
        // Only closed files own sectors: the drive scratches unclosed ones.
        Trace.InUse = Disk.TraceSectors(
            [&Disk](const uint8_t* Entry) { return Disk.DecodeFileType(Entry[2]).Closed != 0; },
            [&](const TC64Disk::TSectorsInUse& InUse, const TC64Disk::TChainStop& At) {
                ReportStop(Result, Broken, InUse, At);
            });
    } catch (const EC64DiskException& Error) {
        TFinding& Finding = Add(Result, TFindingKind::DirectoryChain);
        Finding.Directory = true;
        Finding.Detail = Error.what();
        return Result;
    }
    Trace.Readable = true;
    const TC64Disk::TSectorsInUse& InUse = Trace.InUse;

    std::unordered_map<const uint8_t*, int> Sectors;
    for (const auto& Holder : InUse.Holders)
        if (Holder.second) ++Sectors[Holder.second];
    Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& Record) {
        const TTrackSector First = MakeTrackSector(Record.Track, Record.Sector);
        if (!Record.Closed) {
            Trace.Unclosed.push_back(Record.Entry);
            Add(Result, TFindingKind::Unclosed, Record.Name, First);
            return;
        }
        const auto Found = Sectors.find(Record.Entry);
        const int Counted = Found == Sectors.end() ? 0 : Found->second;
        if (Counted != Record.Blocks && !Broken.count(Record.Entry)) {
            TFinding& Finding = Add(Result, TFindingKind::WrongBlockCount, Record.Name, First);
            Finding.Stated = Record.Blocks;
            Finding.Counted = Counted;
        }
    });

    // Said once; side two is then checked against the counts where that disk has them, so
    // that only real differences are named besides.
    TD71* Misplaced = CountedOnBamTrack2(Disk);
    if (Misplaced) Add(Result, TFindingKind::SideTwoCounts, {}, MakeTrackSector(TD71::BamTrack2, 0));
    for (int t = 1; t <= Disk.GetTrackCount(); ++t) {
        const TC64Disk::TBamTrack Bam = Disk.BamTrack(t);
        const uint8_t* Count = Misplaced && t > 35 ? Misplaced->CountOnBamTrack2(t) : Bam.Count;
        int Free = 0;
        for (int s = 0; s < Disk.GetSectorsPerTrack(t); ++s) {
            const TTrackSector ts = MakeTrackSector(t, s);
            const bool IsFree = (Bam.Bits[s / 8] >> (s % 8)) & 1;
            const auto& [Directory, Entry] = InUse.At(ts);
            Free += IsFree;
            const bool KeptForBam = Misplaced && t == TD71::BamTrack2 && !Entry;
            if (IsFree && (Directory || Entry) && !KeptForBam)
                Add(Result, TFindingKind::FreeInUse, Entry ? NameOf(Entry) : PetsciiString(), ts).Directory =
                    Directory;
            else if (!IsFree && !Directory && !Entry)
                Add(Result, TFindingKind::UnownedAllocated, {}, ts);
        }
        if (*Count != Free) {
            TFinding& Finding = Add(Result, TFindingKind::WrongFreeCount, {}, MakeTrackSector(t, 0));
            Finding.Stated = *Count;
            Finding.Counted = Free;
        }
    }
    return Result;
}

} // namespace

std::string FindingPlace(const TFinding& f) {
    if (f.Kind == TFindingKind::DirectoryChain) return {};
    if (f.Kind == TFindingKind::WrongFreeCount) return "track " + std::to_string(TrackOf(f.Where));
    const bool Chain = f.Kind == TFindingKind::IllegalLink || f.Kind == TFindingKind::ChainLoops ||
                       f.Kind == TFindingKind::CrossLinked;
    return Chain && f.Where == 0 ? std::string("entry") : At(f.Where);
}

std::string FindingProblem(const TFinding& f, const std::function<std::string(const PetsciiString&)>& Name) {
    switch (f.Kind) {
    case TFindingKind::DirectoryChain:
        return f.Detail.substr(0, f.Detail.find('\r'));
    case TFindingKind::IllegalLink:
        return "links to " + At(f.Link) + ", off the disk";
    case TFindingKind::ChainLoops:
        return "links back to " + At(f.Link) + " of its own chain";
    case TFindingKind::CrossLinked:
        return "links to " + At(f.Link) + " of " +
               (f.Directory ? std::string("the directory") : Name(f.Other));
    case TFindingKind::Unclosed:
        return "file not closed, scratched on repair";
    case TFindingKind::UnownedAllocated:
        return "allocated in the BAM, but nothing holds it";
    case TFindingKind::FreeInUse:
        return "free in the BAM, but in use";
    case TFindingKind::SideTwoCounts:
        return "side two's free counts lie here, not in 18/0, and track 53 is free: cc1541's layout, "
               "not the 1571's; repair puts them in 18/0 and keeps track 53 whole";
    case TFindingKind::WrongFreeCount:
    case TFindingKind::WrongBlockCount:
        return std::to_string(f.Stated) + " stated, " + std::to_string(f.Counted) + " counted";
    }
    return {};
}

bool RepairFixes(TFindingKind Kind) {
    return Kind == TFindingKind::Unclosed || Kind == TFindingKind::UnownedAllocated ||
           Kind == TFindingKind::FreeInUse || Kind == TFindingKind::WrongFreeCount ||
           Kind == TFindingKind::SideTwoCounts;
}

bool TValidation::NeedsRepair() const {
    for (const TFinding& Finding : Findings)
        if (RepairFixes(Finding.Kind)) return true;
    return false;
}

TValidation Validate(TC64Disk& Disk) {
    TTrace Trace;
    return Check(Disk, Trace);
}

TValidation Repair(TC64Disk& Disk) {
    TTrace Trace;
    TValidation Result = Check(Disk, Trace);
    if (!Trace.Readable)
        throw EC64DiskException(Result.Findings.front().Detail +
                                "\r\nThe directory can't be read whole: nothing was repaired.");
    if (!Result.NeedsRepair()) return Result;
    Disk.CheckWriteAccess();
    // Asked before the rebuild, which puts the counts into the header.
    TD71* const Misplaced = CountedOnBamTrack2(Disk);

    // The former bytes of the header and of each unclosed entry's type, put back when the
    // save fails, so that the disk in memory stays what its file holds.
    const TC64Disk::TKeptSectors OldBam = Disk.KeepSystemSectors();
    std::vector<std::pair<uint8_t*, uint8_t>> OldTypes;
    for (uint8_t* Entry : Trace.Unclosed) {
        OldTypes.emplace_back(Entry, Entry[2]);
        Entry[2] = 0; // scratched, as the drive's validate does
    }
    // Only the bits of sectors a track has are rebuilt; anything beyond stays.
    for (int t = 1; t <= Disk.GetTrackCount(); ++t) {
        const TC64Disk::TBamTrack Bam = Disk.BamTrack(t);
        int Free = 0;
        for (int s = 0; s < Disk.GetSectorsPerTrack(t); ++s) {
            const auto& [Directory, Entry] = Trace.InUse.At(MakeTrackSector(t, s));
            const uint8_t Bit = static_cast<uint8_t>(1u << (s % 8));
            if (Directory || Entry) {
                Bam.Bits[s / 8] &= static_cast<uint8_t>(~Bit);
            } else {
                Bam.Bits[s / 8] |= Bit;
                ++Free;
            }
        }
        *Bam.Count = static_cast<uint8_t>(Free);
    }
    if (Misplaced) Misplaced->ClearCountsOnBamTrack2();
    if (Disk.Updating()) return Result;
    try {
        Disk.BeginUpdate();
        Disk.EndUpdate(true);
    } catch (...) {
        TC64Disk::PutBack(OldBam);
        for (const auto& [Entry, Type] : OldTypes)
            Entry[2] = Type;
        throw;
    }
    return Result;
}
