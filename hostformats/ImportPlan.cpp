// Planning and writing a batch of files.
#include "ImportPlan.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

// A name as the drive compares it: up to its first shifted space.
PetsciiString DriveName(const PetsciiString& Name) {
    return Name.substr(0, Name.find('\xA0'));
}

// NAME(2), NAME(3), ...: the first not taken, the name cut to leave room for the number.
PetsciiString FreeName(const PetsciiString& Name, const std::set<PetsciiString>& Taken) {
    for (int Number = 2;; ++Number) {
        const std::string Suffix = "(" + std::to_string(Number) + ")";
        const PetsciiString Candidate = Name.substr(0, 16 - Suffix.size()) + Suffix;
        if (!Taken.count(Candidate)) return Candidate;
    }
}

// Every sector of the image back as Snapshot holds it.
void Restore(TC64Disk& Disk, const ByteArray& Snapshot) {
    size_t Offset = 0;
    for (int Track = 1; Track <= Disk.GetTrackCount(); ++Track)
        for (int Sector = 0; Sector < Disk.GetSectorsPerTrack(Track); ++Sector, Offset += 256)
            std::copy_n(Snapshot.data() + Offset, 256, Disk.GetSector(MakeTrackSector(Track, Sector)));
}

// Runs Change on Disk inside an update bracket (unless one is open already): all of it, or
// on a failure none of it, the sectors as they were before.
template <typename TChange> void AllOrNothing(TC64Disk& Disk, const TChange& Change) {
    const ByteArray Snapshot(Disk.Image(), Disk.Image() + Disk.ImageSize());
    const bool Bracket = !Disk.Updating();
    if (Bracket) Disk.BeginUpdate();
    try {
        Change();
        if (Bracket) Disk.EndUpdate(true);
    } catch (...) {
        Restore(Disk, Snapshot);
        if (Bracket) Disk.EndUpdate(false);
        throw;
    }
}

std::vector<uint8_t*> ListedEntries(TC64Disk& Disk) {
    std::vector<uint8_t*> Entries;
    Disk.ReadDirectory(TFileKindSet::AllListed(),
                       [&](const TC64DirRecord& Record) { Entries.push_back(Record.Entry); });
    return Entries;
}

} // namespace

TImportPlan PlanImport(TC64Disk& Disk, std::vector<TImportFile> Files, const TSameNameQuestion& Ask) {
    TImportPlan Plan;
    Plan.Steps.resize(Files.size());
    std::map<PetsciiString, std::vector<uint8_t*>> OnDisk;
    std::set<PetsciiString> Taken;
    Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& Record) {
        OnDisk[DriveName(Record.Name)].push_back(Record.Entry);
        Taken.insert(DriveName(Record.Name));
    });
    // The file of the batch each name was last given to.
    std::map<PetsciiString, size_t> InBatch;
    for (size_t i = 0; i < Files.size(); ++i) {
        TImportStep& Step = Plan.Steps[i];
        PetsciiString Name = DriveName(Files[i].Name());
        if (Taken.count(Name)) {
            switch (Ask(Files[i].Name())) {
            case TSameName::Skip:
                Step.Write = false;
                continue;
            case TSameName::KeepBoth:
                Name = FreeName(Name, Taken);
                StringToPetscii(Name, Files[i].Entry.data() + 5, 15);
                break;
            case TSameName::Replace:
                if (const auto Earlier = InBatch.find(Name); Earlier != InBatch.end()) {
                    // An earlier file of the batch gives way, with what it replaced.
                    Plan.Steps[Earlier->second].Write = false;
                    Step.Replaced = std::move(Plan.Steps[Earlier->second].Replaced);
                } else {
                    Step.Replaced = OnDisk[Name];
                }
                break;
            }
        }
        Taken.insert(Name);
        InBatch[Name] = i;
    }
    Plan.Files = std::move(Files);
    return Plan;
}

bool WritesAnything(const TImportPlan& Plan) {
    return std::any_of(Plan.Steps.begin(), Plan.Steps.end(),
                       [](const TImportStep& Step) { return Step.Write; });
}

std::vector<uint8_t*> RunImport(TC64Disk& Disk, const TImportPlan& Plan) {
    // Every file skipped: nothing to write, not even the unchanged image.
    if (!WritesAnything(Plan)) return {};
    Disk.VerifyWriteAccess();
    // A batch that cannot fit is refused before any work; one that replaces files is
    // left to the writes, since the blocks the replaced files free are not known here.
    int Blocks = 0;
    bool Replaces = false;
    for (size_t i = 0; i < Plan.Files.size(); ++i) {
        if (!Plan.Steps[i].Write) continue;
        const uint8_t* Entry = Plan.Files[i].Entry.data();
        Blocks += Disk.BlocksFor(Plan.Files[i].Bytes.size(), Disk.DecodeFileType(Entry[2]).Kind == fkRel);
        Replaces = Replaces || !Plan.Steps[i].Replaced.empty();
    }
    if (!Replaces && Blocks > Disk.GetFreeBlocks()) throw EC64DiskFullException("Disk is full!");

    std::vector<uint8_t*> Kept = ListedEntries(Disk);
    AllOrNothing(Disk, [&] {
        // Files go in in the plan's order; those between two replacing ones are added in
        // one call, which traces the disk's sectors in use once for all of them.
        std::vector<std::pair<const ByteArray*, const uint8_t*>> Run;
        for (size_t i = 0; i < Plan.Files.size(); ++i) {
            const TImportStep& Step = Plan.Steps[i];
            if (!Step.Write) continue;
            if (!Step.Replaced.empty()) {
                Disk.AddFiles(Run);
                Run.clear();
                Disk.ScratchFiles(Step.Replaced, false);
                std::erase_if(Kept, [&](uint8_t* Entry) {
                    return std::find(Step.Replaced.begin(), Step.Replaced.end(), Entry) !=
                           Step.Replaced.end();
                });
            }
            Run.emplace_back(&Plan.Files[i].Bytes, Plan.Files[i].Entry.data());
        }
        Disk.AddFiles(Run);
    });
    std::vector<uint8_t*> Written = ListedEntries(Disk);
    std::erase_if(Written,
                  [&](uint8_t* Entry) { return std::find(Kept.begin(), Kept.end(), Entry) != Kept.end(); });
    return Written;
}

TImportPlan PlanCopy(TC64Disk& Disk, const std::vector<uint8_t*>& Entries, const TSameNameQuestion& Ask) {
    std::vector<TImportFile> Files(Entries.size());
    for (size_t i = 0; i < Entries.size(); ++i)
        std::copy(Entries[i], Entries[i] + 32, Files[i].Entry.begin());
    return PlanImport(Disk, std::move(Files), Ask);
}

void CopyPlannedFile(TC64Disk& Disk, TC64Disk& Source, uint8_t* SourceEntry, TImportPlan& Plan, size_t I) {
    TImportFile& File = Plan.Files[I];
    const TImportStep& Step = Plan.Steps[I];
    if (!Step.Write) return;
    if (Source.RunOf(SourceEntry).empty()) {
        File.Bytes = Source.LoadFile(SourceEntry);
        RunImport(Disk, TImportPlan{{File}, {Step}});
        return;
    }
    Disk.VerifyWriteAccess();
    AllOrNothing(Disk, [&] {
        if (!Step.Replaced.empty()) Disk.ScratchFiles(Step.Replaced, false);
        Disk.CopyFileFrom(File.Entry.data(), Source);
    });
}
