// TC64Disk: the general operations every disk shares (allocation search, directory
// slots, loading and copying files, type byte coding, saving), and the factories.
#include "c64disk.h"

#include "d64.h"
#include "d71.h"
#include "d81.h"
#include "hostfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

TC64Disk::TNotifyHook NotifyHook;

void Notify(const std::string& Message) {
    if (NotifyHook) NotifyHook(Message);
}

} // namespace

int FileBlockCount(size_t ByteCount, bool Rel, bool SuperSideSector) {
    const int Data = std::max(static_cast<int>((ByteCount + 253) / 254), 1);
    return Rel ? Data + (Data + 119) / 120 + (SuperSideSector ? 1 : 0) : Data;
}

uint32_t ImageSizeOf(TDiskType Type) {
    switch (Type) {
    case dt35Tracks:
        return 174848;
    case dt35TracksErrorInfo:
        return 175531;
    case dt40Tracks:
        return 196608;
    case dt40TracksErrorInfo:
        return 197376;
    case dt71:
        return 349696;
    case dt71ErrorInfo:
        return 351062;
    case dtD81:
        return 819200;
    case dtD81ErrorInfo:
        return 822400;
    default:
        return 0;
    }
}

const char* FileKindText(TFileKind Kind) {
    switch (Kind) {
    case fkUnknown:
        return "?";
    case fkDel:
        return "DEL";
    case fkSeq:
        return "SEQ";
    case fkPrg:
        return "PRG";
    case fkUsr:
        return "USR";
    case fkRel:
        return "REL";
    case fkOther:
        return "CBM"; // a 1581 partition
    default:
        return "UNKNOWN";
    }
}

std::string FileTypeText(const TC64DirRecord& Record) {
    std::string Text = FileKindText(Record.Kind);
    if (Record.Locked) Text += '<';
    if (!Record.Closed) Text += '*';
    return Text;
}

std::string TrackSectorText(const TC64DirRecord& Record) {
    char Text[8];
    std::snprintf(Text, sizeof Text, "%2u/%2u", static_cast<unsigned>(Record.Track),
                  static_cast<unsigned>(Record.Sector));
    return Text;
}

EC64DiskChangedException::EC64DiskChangedException(const std::string& AFileName)
    : EC64DiskException("The diskimage was changed by another program since it was read!\r\n"
                        "Nothing has been written to it."),
      FileName(AFileName) {}

void TC64Disk::SetNotifyHook(TNotifyHook Hook) {
    NotifyHook = std::move(Hook);
}

std::unique_ptr<TC64Disk> TC64Disk::OpenDiskImage(const std::string& FileName, TDosEmulation DosEmulation) {
    if (!HostFile::Exists(FileName)) throw EC64DiskException("Can't find specified diskimage!");
    // Anything but a plain file (a folder, a pipe, a device) is no image.
    if (!HostFile::IsRegularFile(FileName)) throw EC64DiskException("Unknown diskformat!");
    // A save that was cut short in place left a journal: the old image comes back whole.
    if (HostFile::RestoreInterruptedWrite(FileName))
        Notify("An interrupted save to " + FileName +
               " was undone: the diskimage was restored from its journal.");
    uint64_t Size;
    uint8_t Head[8] = {};
    size_t HeadSize;
    {
        HostFile::TFile File(FileName, HostFile::TFile::TMode::Read);
        Size = File.Size();
        HeadSize = File.Read(Head, sizeof Head);
    }
    switch (Size) {
    case 174848:
    case 175531:
    case 196608:
    case 197376:
        return std::make_unique<TD64>(FileName, DosEmulation);
    case 349696:
    case 351062:
        return std::make_unique<TD71>(FileName, DosEmulation);
    case 819200:
    case 822400:
        return std::make_unique<TD81>(FileName, DosEmulation);
    default:
        if (HeadSize == 8 && std::memcmp(Head, "GCR-1541", 8) == 0) {
            Notify("G64 disks not supported yet!");
            return nullptr;
        }
        throw EC64DiskException("Unknown diskformat!");
    }
}

std::unique_ptr<TC64Disk> TC64Disk::CreateDiskImage(const std::string& FileName, TDiskType DiskType,
                                                    TDosEmulation DosEmulation) {
    if (DiskType == dt71 || DiskType == dt71ErrorInfo)
        return std::make_unique<TD71>(FileName, DosEmulation, DiskType);
    if (DiskType == dtD81 || DiskType == dtD81ErrorInfo)
        return std::make_unique<TD81>(FileName, DosEmulation, DiskType);
    if (DiskType < dt35Tracks || DiskType > dt40TracksErrorInfo) return nullptr;
    return std::make_unique<TD64>(FileName, DosEmulation, DiskType);
}

TC64Disk::TC64Disk() = default;
TC64Disk::~TC64Disk() = default;

void TC64Disk::InitGeneral(TDosEmulation Emulation) {
    IgnoreSoftWriteProtection = true;
    FUpdating = false;
    if (Emulation == dePrologicDos) throw EC64DiskException("Can't create PrologicDos disk!");
    FDosEmulation = Emulation;
}

void TC64Disk::AllocateImage(TDiskType Type) {
    FImage.reset();
    FImage = std::make_unique<uint8_t[]>(ImageSizeOf(Type)); // zero-filled
}

void TC64Disk::DetectDosEmulation() {
    FDosEmulation = (FDiskType == dt40Tracks || FDiskType == dt40TracksErrorInfo) ? deSpeedDos : deCbmDos;
}

bool TC64Disk::CheckWriteAccess() {
    if (IgnoreSoftWriteProtection || !IsSoftWriteProtected()) return true;
    throw EC64DiskException("Disk is Soft Write Protected!");
}

void TC64Disk::BeginUpdate() {
    FUpdating = true;
}

void TC64Disk::EndUpdate(bool DoSave) {
    FUpdating = false;
    if (DoSave) {
        CheckWriteAccess();
        Save();
    }
}

uint8_t* TC64Disk::GetBamSector() {
    return GetSector(MakeTrackSector(FDirTrack, 0));
}

uint8_t* TC64Disk::GetExtendedBam() {
    return GetBamSector() + (FDosEmulation == deSpeedDos ? 192 : 172);
}

std::vector<TTrackSector> TC64Disk::SystemSectors() {
    return {MakeTrackSector(FDirTrack, 0)};
}

TC64Disk::TKeptSectors TC64Disk::KeepSystemSectors() {
    TKeptSectors Kept;
    const auto Keep = [&](uint8_t* Sector) {
        for (const auto& Known : Kept)
            if (Known.first == Sector) return;
        Kept.emplace_back(Sector, std::array<uint8_t, 256>{});
        std::memcpy(Kept.back().second.data(), Sector, 256);
    };
    for (TTrackSector ts : SystemSectors())
        Keep(GetSector(ts));
    // A 1571 disk keeps its second side's bitmaps outside the header.
    for (int t = 1; t <= GetTrackCount(); ++t) {
        const TBamTrack Bam = BamTrack(t);
        for (uint8_t* Byte : {Bam.Count, Bam.Bits})
            Keep(Byte - (Byte - FImage.get()) % 256);
    }
    return Kept;
}

void TC64Disk::PutBack(const TKeptSectors& Kept) {
    for (const auto& [Sector, Bytes] : Kept)
        std::memcpy(Sector, Bytes.data(), 256);
}

TTrackSector TC64Disk::FirstDirSector() {
    return MakeTrackSector(FDirTrack, 1);
}

void TC64Disk::CheckCanAdd(const uint8_t*) {}

std::vector<TTrackSector> TC64Disk::RunOf(const uint8_t*) {
    return {};
}

uint8_t* TC64Disk::BamEntry(int Track) {
    if (Track >= 36) return GetExtendedBam() + 4 * (Track - 36);
    return GetBamSector() + 4 * Track;
}

TC64Disk::TBamTrack TC64Disk::BamTrack(int Track) {
    uint8_t* Entry = BamEntry(Track);
    return {Entry, Entry + 1};
}

std::vector<TTrackSector> TC64Disk::ReservedSectors() {
    return {};
}

int TC64Disk::SectorIndex(TTrackSector ts) {
    int Index = 0;
    for (int t = 1; t < TrackOf(ts); ++t)
        Index += GetSectorsPerTrack(t);
    return Index + SectorOf(ts);
}

bool TC64Disk::MarkSeen(TTrackSector ts, std::vector<bool>& Seen) {
    const size_t i = static_cast<size_t>(SectorIndex(ts));
    if (Seen.size() <= i) Seen.resize(i + 1);
    if (Seen[i]) return false;
    Seen[i] = true;
    return true;
}

uint8_t* TC64Disk::NextDirSector(uint8_t* Current, std::vector<bool>& Seen) {
    const TTrackSector Link = ReadTrackSector(Current);
    uint8_t* Next = GetSector(Link); // raises for a link outside the geometry
    if (!MarkSeen(Link, Seen)) {
        char Text[96];
        std::snprintf(Text, sizeof Text, "Directory chain loops back to T:%d/S:%d!", TrackOf(Link),
                      SectorOf(Link));
        throw EC64DiskException(Text);
    }
    return Next;
}

int TC64Disk::TrackOfPointer(const uint8_t* p) {
    if (!FImage || p < FImage.get()) return 0;
    const uint32_t Offset = static_cast<uint32_t>(p - FImage.get());
    for (int t = GetTrackCount(); t >= 1; --t) {
        const uint32_t Start = static_cast<uint32_t>(GetSector(MakeTrackSector(t, 0)) - FImage.get());
        if (Offset >= Start)
            return Offset < Start + 256u * static_cast<uint32_t>(GetSectorsPerTrack(t)) ? t : 0;
    }
    return 0;
}

TTrackSector TC64Disk::FindFirstFreeSector() {
    const int Tracks = GetTrackCount();
    for (int i = 1; FDirTrack - i >= 1 || FDirTrack + i <= Tracks; ++i) {
        for (int t : {FDirTrack - i, FDirTrack + i}) {
            // A track the BAM counts as full is passed over, as the next-sector search does.
            if (t < 1 || t > Tracks || GetTrackFreeSectors(t) <= 0) continue;
            for (int s = 0; s < GetSectorsPerTrack(t); ++s)
                if (!IsSectorUsed(MakeTrackSector(t, s))) return MakeTrackSector(t, s);
        }
    }
    throw EC64DiskFullException("Disk is full!");
}

TTrackSector TC64Disk::FindNextFreeSector(TTrackSector ts, bool Wrapped) {
    int t = TrackOf(ts);
    int s = SectorOf(ts);
    TTrackSector Given = ts;
    // Each pass searches one track; every track is visited at most once per direction.
    for (;;) {
        if (const TTrackSector Found = FreeSectorAfter(t, s, Given)) return Found;
        if (t < FDirTrack) {
            if (--t == 0) {
                if (Wrapped) throw EC64DiskFullException("Disk is full!");
                t = FDirTrack + 1;
                Wrapped = true;
            }
        } else {
            if (++t > GetTrackCount()) {
                if (Wrapped) throw EC64DiskFullException("Disk is full!");
                t = FDirTrack - 1;
                Wrapped = true;
            }
        }
        Given = MakeTrackSector(t, s);
    }
}

TTrackSector TC64Disk::FreeSectorAfter(int Track, int& Sector, TTrackSector Given) {
    const int Count = GetSectorsPerTrack(Track);
    if (GetTrackFreeSectors(Track) <= 0 || Count <= 0) return 0;
    int s = Sector + FInterleave;
    if (s >= Count) s -= Count;
    if (s > 0) s -= 1;
    const int Start = s;
    do {
        ++s;
        if (s >= Count) s = 0;
        const TTrackSector Candidate = MakeTrackSector(Track, s);
        if (Candidate != Given && !IsSectorUsed(Candidate)) return Candidate;
    } while (s != Start);
    Sector = s;
    return 0;
}

PetsciiString TC64Disk::GetHeaderLine() {
    if (!FImage) return {};
    auto Pad = [](PetsciiString Text, size_t Width) {
        if (Text.size() < Width) Text.append(Width - Text.size(), ' ');
        return Text;
    };
    return "0 \"" + Pad(GetDiskName(), 16) + "\" " + Pad(GetDiskID(), 3) + Pad(GetDosType(), 2);
}

void TC64Disk::Clear() {
    FFileName.clear();
    FImageSize = 0;
    FDiskType = dtNone;
    FUpdating = false;
    FDosEmulation = deCbmDos;
}

std::vector<TTrackSector> TC64Disk::DirectoryChain() {
    std::vector<bool> Seen;
    TTrackSector ts = FirstDirSector();
    uint8_t* Sector = GetSector(ts);
    MarkSeen(ts, Seen);
    std::vector<TTrackSector> Chain{ts};
    while (Sector[0] != 0) {
        ts = ReadTrackSector(Sector);
        Sector = NextDirSector(Sector, Seen);
        Chain.push_back(ts);
    }
    return Chain;
}

namespace {

// A sector the BAM calls free although the directory chain runs through it: the disk is
// damaged, and taking the sector would wipe directory entries.
[[noreturn]] void RefuseDirectorySector(TTrackSector ts) {
    char Text[160];
    std::snprintf(
        Text, sizeof Text,
        "Directory sector T:%d/S:%d is marked as free in the BAM!\r\nValidate the disk and try it again.",
        TrackOf(ts), SectorOf(ts));
    throw EC64DiskException(Text);
}

void RefuseIfIn(TTrackSector ts, const std::vector<TTrackSector>& Directory) {
    if (std::find(Directory.begin(), Directory.end(), ts) != Directory.end()) RefuseDirectorySector(ts);
}

// A file name for a message: up to the first shifted space, printable ASCII as it is,
// every other byte as {$XX}.
std::string MessageName(const uint8_t* Entry) {
    std::string Name;
    for (uint8_t b : PetsciiToString(Entry + 5, 15)) {
        if (b >= 0x20 && b < 0x7F) {
            Name += static_cast<char>(b);
        } else {
            char Escaped[8];
            std::snprintf(Escaped, sizeof Escaped, "{$%02X}", b);
            Name += Escaped;
        }
    }
    return Name;
}

std::string SectorText(TTrackSector ts) {
    return "T:" + std::to_string(TrackOf(ts)) + "/S:" + std::to_string(SectorOf(ts));
}

// A listed file's sector that something new could be written over.
[[noreturn]] void RefuseFileSector(const std::string& Problem) {
    throw EC64DiskException(Problem + "\r\nValidate the disk and try it again.");
}

template <typename TLog> void Keep(TLog& Undo, uint8_t* Sector) {
    Undo.emplace_back(Sector, std::array<uint8_t, 256>{});
    std::memcpy(Undo.back().second.data(), Sector, 256);
}

} // namespace

bool TC64Disk::TSectorsInUse::OnDisk(TTrackSector ts) const {
    const size_t t = static_cast<size_t>(TrackOf(ts));
    return t >= 1 && t + 1 < TrackStart.size() &&
           static_cast<size_t>(SectorOf(ts)) < TrackStart[t + 1] - TrackStart[t];
}

TC64Disk::TSectorsInUse TC64Disk::TraceSectors(const std::function<bool(const uint8_t*)>& Walked,
                                               const TChainStopHook& Stop) {
    TSectorsInUse InUse;
    InUse.Directory = DirectoryChain();
    const size_t Tracks = static_cast<size_t>(GetTrackCount());
    InUse.TrackStart.resize(Tracks + 2);
    for (size_t t = 1; t <= Tracks; ++t)
        InUse.TrackStart[t + 1] =
            InUse.TrackStart[t] + static_cast<size_t>(GetSectorsPerTrack(static_cast<int>(t)));
    InUse.Holders.resize(InUse.TrackStart[Tracks + 1]);
    const auto HolderOf = [&](TTrackSector ts) -> TSectorsInUse::THolder& {
        return InUse.Holders[InUse.Index(ts)];
    };
    for (TTrackSector ts : SystemSectors())
        HolderOf(ts).first = true; // the header and the BAM
    for (TTrackSector ts : ReservedSectors())
        HolderOf(ts).first = true;
    for (TTrackSector ts : InUse.Directory)
        HolderOf(ts).first = true;
    // A chain that comes to a sector already met (its own loop, another file's chain it
    // joins, the directory) has nothing further to add.
    const auto Walk = [&](TTrackSector ts, const uint8_t* Entry) {
        if (TrackOf(ts) == FDirTrack) return; // an empty file as written before: no sector
        TTrackSector From = 0;
        // OnDisk has checked the sector, so reading its link cannot raise.
        for (; InUse.OnDisk(ts) && !HolderOf(ts).first && !HolderOf(ts).second;
             ts = ReadTrackSector(GetSector(ts))) {
            HolderOf(ts).second = Entry;
            From = ts;
        }
        if (TrackOf(ts) != 0 && Stop) Stop(InUse, TChainStop{Entry, From, ts});
    };
    for (TTrackSector ts : InUse.Directory) {
        const uint8_t* Sector = GetSector(ts);
        for (int Slot = 0; Slot < 8; ++Slot) {
            const uint8_t* Entry = Sector + 32 * Slot;
            const TFileKind Kind = DecodeFileType(Entry[2]).Kind;
            if (Kind == fkEmpty || (Walked && !Walked(Entry))) continue;
            if (const std::vector<TTrackSector> Run = RunOf(Entry); !Run.empty()) {
                // A run holds every sector of it that nothing else holds, so that nothing
                // new is written there; its first clash is reported as a chain's would be.
                TTrackSector From = 0;
                bool Clashed = false;
                for (TTrackSector ts : Run) {
                    if (HolderOf(ts).first || HolderOf(ts).second) {
                        if (Stop && !Clashed) Stop(InUse, TChainStop{Entry, From, ts});
                        Clashed = true;
                        continue;
                    }
                    HolderOf(ts).second = Entry;
                    From = ts;
                }
                continue;
            }
            Walk(ReadTrackSector(Entry + 3), Entry);
            if (Kind == fkRel) Walk(ReadTrackSector(Entry + 21), Entry);
        }
    }
    return InUse;
}

TC64Disk::TSectorsInUse TC64Disk::FindSectorsInUse() {
    return TraceSectors(nullptr, [](const TSectorsInUse& InUse, const TChainStop& At) {
        if (InUse.OnDisk(At.Link) && InUse.At(At.Link).first)
            RefuseFileSector("File \"" + MessageName(At.Entry) + "\" runs through directory sector " +
                             SectorText(At.Link) + "!");
    });
}

void TC64Disk::RefuseIfInUse(const TSectorsInUse& InUse, TTrackSector ts) {
    const auto& [Directory, Entry] = InUse.At(ts);
    if (Directory) RefuseDirectorySector(ts);
    if (Entry)
        RefuseFileSector("Sector " + SectorText(ts) + " of file \"" + MessageName(Entry) +
                         "\" is marked as free in the BAM!");
}

uint8_t* TC64Disk::AllocateDirEntry() {
    const std::vector<TTrackSector> Chain = DirectoryChain();
    for (TTrackSector ts : Chain) {
        uint8_t* Sector = GetSector(ts);
        for (int Slot = 0; Slot < 8; ++Slot) {
            uint8_t* Entry = Sector + 32 * Slot;
            if (DecodeFileType(Entry[2]).Kind == fkEmpty) {
                if (Slot > 0) Entry[0] = Entry[1] = 0;
                return Entry;
            }
        }
    }
    // The directory is full: grow it by one sector on the directory track.
    const TTrackSector LastTs = Chain.back();
    const uint8_t SavedInterleave = FInterleave;
    FInterleave = FDirInterleave;
    TTrackSector NewTs;
    try {
        NewTs = FindNextFreeSector(LastTs, false);
    } catch (...) {
        FInterleave = SavedInterleave;
        throw;
    }
    FInterleave = SavedInterleave;
    if (TrackOf(NewTs) != FDirTrack) return nullptr;
    RefuseIfIn(NewTs, Chain);
    // A new directory sector starts as an empty end of chain, whatever the sector held
    // before, so no stale bytes show up as files.
    uint8_t* NewSector = GetSector(NewTs);
    std::memset(NewSector, 0, 256);
    NewSector[1] = 0xFF;
    WriteTrackSector(GetSector(LastTs), NewTs);
    SetSectorUsed(NewTs, true);
    return NewSector;
}

void TC64Disk::WriteSector(TTrackSector ts, const uint8_t* Sector) {
    if (!Sector) throw EC64DiskException("WriteSector(): sector pointer is null!");
    WriteSectorData(ts, ReadTrackSector(Sector), ByteArray(Sector + 2, Sector + 256));
}

bool TC64Disk::IsChainValid(const uint8_t* Entry) {
    std::vector<bool> Seen(static_cast<size_t>(GetTotalSectors() > 0 ? GetTotalSectors() : 0));
    TTrackSector ts = MakeTrackSector(Entry[3], Entry[4]);
    const uint8_t* p = GetSector(ts);
    while (p[0] != 0) {
        if (!MarkSeen(ts, Seen)) return false;
        ts = ReadTrackSector(p);
        p = GetSector(ts);
    }
    return true;
}

TFileTypeInfo TC64Disk::DecodeFileType(uint8_t TypeByte) {
    static constexpr TFileKind Kinds[8] = {fkDel, fkSeq, fkPrg, fkUsr, fkRel, fkOther, fkUnknown, fkUnknown};
    TFileTypeInfo Info;
    Info.Kind = TypeByte == 0 ? fkEmpty : Kinds[TypeByte & 7];
    Info.Locked = (TypeByte >> 6) & 1;
    Info.Closed = (TypeByte >> 7) & 1;
    return Info;
}

void TC64Disk::EncodeFileType(uint8_t* TypeByte, const TFileTypeInfo& Info) {
    if (!TypeByte) throw EC64DiskException("Internal TC64Disk Error: 001");
    CheckWriteAccess();
    if (Info.Kind == fkEmpty) {
        *TypeByte = 0;
        return;
    }
    uint8_t Code = 0;
    switch (Info.Kind) {
    case fkSeq:
        Code = 1;
        break;
    case fkPrg:
        Code = 2;
        break;
    case fkUsr:
        Code = 3;
        break;
    case fkRel:
        Code = 4;
        break;
    case fkOther:
        Code = 5;
        break;
    default:
        Code = 0;
        break;
    }
    if (Info.Locked) Code |= 0x40;
    if (Info.Closed) Code |= 0x80;
    *TypeByte = Code;
}

int TC64Disk::GetRealFileSize(uint8_t* Entry) {
    if (!Entry) return 0;
    if (!IsChainValid(Entry))
        throw EC64DiskException("Can't read real filesize because of an invalid file-chain!\r\nValidate the "
                                "disk and try it again.");
    ISectorIteratorPtr It = CreateSectorIterator(Entry);
    if (!It) return 0;
    int Size = 0;
    while (It->HasNext()) {
        const uint8_t* p = It->Next();
        // A last sector whose byte 1 is 0 or 1 holds no data.
        Size += It->HasNext() ? 254 : std::max(p[1] - 1, 0);
    }
    return Size;
}

ByteArray TC64Disk::LoadFile(uint8_t* Entry) {
    if (!Entry) throw EC64DiskException("Cannot load file, coz there is no dir entry specified.");
    const int Size = GetRealFileSize(Entry);
    ByteArray Bytes;
    Bytes.reserve(static_cast<size_t>(Size));
    if (Size > 0) {
        ISectorIteratorPtr It = CreateSectorIterator(Entry);
        while (It->HasNext()) {
            const uint8_t* p = It->Next();
            const int n = It->HasNext() ? 254 : std::max(p[1] - 1, 0);
            Bytes.insert(Bytes.end(), p + 2, p + 2 + n);
        }
    }
    return Bytes;
}

void TC64Disk::WriteChain(const ByteArray& Bytes, TTrackSector First, const TSectorsInUse& InUse,
                          TUndoLog& Undo) {
    const size_t n = Bytes.size();
    TTrackSector Current = First;
    // An empty chain is one sector whose last used byte is its link (no data).
    for (size_t Pos = 0; Pos < std::max<size_t>(n, 1); Pos += 254) {
        TTrackSector Next;
        if (n > Pos + 254)
            Next = FindNextFreeSector(Current, false);
        else
            Next = MakeTrackSector(0, static_cast<int>(n - Pos + 1));
        const size_t Chunk = std::min<size_t>(254, n - Pos);
        RefuseIfInUse(InUse, Current);
        Keep(Undo, GetSector(Current));
        WriteSectorData(Current, Next,
                        ByteArray(Bytes.begin() + static_cast<ptrdiff_t>(Pos),
                                  Bytes.begin() + static_cast<ptrdiff_t>(Pos + Chunk)));
        SetSectorUsed(Current, true);
        Current = Next;
    }
}

void TC64Disk::BuildSideSectors(uint8_t* DirEntry, TTrackSector First, uint8_t RecordLength,
                                const TSectorsInUse& InUse, TUndoLog& Undo) {
    // The data sectors in chain order: the chain was just written, whole.
    std::vector<TTrackSector> Data{First};
    for (const uint8_t* p = GetSector(First); p[0] != 0; p = GetSector(Data.back()))
        Data.push_back(ReadTrackSector(p));
    const auto Take = [&] {
        const TTrackSector ts = FindFirstFreeSector();
        RefuseIfInUse(InUse, ts);
        uint8_t* p = GetSector(ts);
        Keep(Undo, p);
        std::memset(p, 0, 256);
        SetSectorUsed(ts, true);
        return ts;
    };
    // A side sector per 120 data sectors; the 1581 takes its super side sector right
    // after the first side sector.
    const size_t Count = (Data.size() + 119) / 120;
    std::vector<TTrackSector> Sides;
    TTrackSector Super = 0;
    for (size_t k = 0; k < Count; ++k) {
        Sides.push_back(Take());
        if (k == 0 && FSuperSideSector) Super = Take();
    }
    WriteTrackSector(DirEntry + 21, FSuperSideSector ? Super : Sides[0]);
    // Each side sector lists the side sectors of its group of six and links to the next
    // side sector, also across groups; the last ends its chain like the last sector of a
    // file: track 0, then the offset of its last used byte, which readers take as the
    // number of links in it.
    for (size_t k = 0; k < Count; ++k) {
        uint8_t* p = GetSector(Sides[k]);
        const size_t Group = k - k % 6;
        const size_t Links = std::min<size_t>(120, Data.size() - 120 * k);
        p[2] = static_cast<uint8_t>(k % 6);
        p[3] = RecordLength;
        for (size_t i = Group; i < Group + 6 && i < Count; ++i)
            WriteTrackSector(p + 4 + 2 * (i - Group), Sides[i]);
        for (size_t j = 0; j < Links; ++j)
            WriteTrackSector(p + 16 + 2 * j, Data[120 * k + j]);
        WriteTrackSector(p,
                         k + 1 < Count ? Sides[k + 1] : MakeTrackSector(0, static_cast<int>(15 + 2 * Links)));
    }
    // The super side sector: a link to the first side sector, $FE, then the first side
    // sector of each group.
    if (FSuperSideSector) {
        uint8_t* p = GetSector(Super);
        WriteTrackSector(p, Sides[0]);
        p[2] = 0xFE;
        for (size_t Group = 0; Group < Count; Group += 6)
            WriteTrackSector(p + 3 + Group / 3, Sides[Group]);
    }
}

bool TC64Disk::SideSectorChain(const uint8_t* Entry, std::vector<TTrackSector>& Chain) {
    Chain.clear();
    if (DecodeFileType(Entry[2]).Kind != fkRel) return true;
    std::vector<bool> Seen;
    // GetSector raises for a link off the disk; a link to the directory track ends the
    // chain, as it ends a file's.
    for (TTrackSector ts = ReadTrackSector(Entry + 21); TrackOf(ts) != 0 && TrackOf(ts) != FDirTrack;
         ts = ReadTrackSector(GetSector(ts))) {
        GetSector(ts);
        if (!MarkSeen(ts, Seen)) return false;
        Chain.push_back(ts);
    }
    return true;
}

void TC64Disk::CopyFileFrom(uint8_t* SourceEntry, TC64Disk& Source) {
    CheckWriteAccess();
    if (!Source.RunOf(SourceEntry).empty())
        throw EC64DiskException("CBM partitions can only be copied to a D81 disk!");
    AddFile(Source.LoadFile(SourceEntry), SourceEntry);
}

void TC64Disk::CopyFilesFrom(const std::vector<uint8_t*>& SourceEntries, TC64Disk& Source) {
    if (SourceEntries.empty()) return;
    CheckWriteAccess();
    std::vector<ByteArray> Loaded;
    Loaded.reserve(SourceEntries.size()); // Run points into it
    std::vector<std::pair<const ByteArray*, const uint8_t*>> Run;
    // The files read so far go in before anything later is tried, so that the first
    // failure is the one reported and the files before it stay, as with single calls.
    const auto AddRun = [&] {
        AddFiles(Run);
        Run.clear();
    };
    for (uint8_t* Entry : SourceEntries) {
        if (!Source.RunOf(Entry).empty()) {
            AddRun();
            CopyFileFrom(Entry, Source);
            continue;
        }
        try {
            Loaded.push_back(Source.LoadFile(Entry));
        } catch (...) {
            AddRun();
            throw;
        }
        Run.emplace_back(&Loaded.back(), Entry);
    }
    AddRun();
}

void TC64Disk::AddFile(const ByteArray& Bytes, const uint8_t* SourceEntry) {
    AddFiles({{&Bytes, SourceEntry}});
}

void TC64Disk::AddFiles(const std::vector<std::pair<const ByteArray*, const uint8_t*>>& Files) {
    std::optional<TSectorsInUse> InUse;
    for (const auto& [Bytes, SourceEntry] : Files) {
        CheckWriteAccess();
        CheckCanAdd(SourceEntry);
        if (!InUse) InUse = FindSectorsInUse();
        AddTracedFile(*Bytes, SourceEntry, *InUse);
    }
}

void TC64Disk::AddTracedFile(const ByteArray& Bytes, const uint8_t* SourceEntry, TSectorsInUse& InUse) {
    // Every file takes at least one data sector (an empty one holds no data, as on a
    // 1541); a REL file also takes the side sectors that list its data sectors.
    const bool Rel = DecodeFileType(SourceEntry[2]).Kind == fkRel;
    const int DataSectors = FileBlockCount(Bytes.size(), false, false);
    if (Rel && DataSectors > FRelDataLimit)
        throw EC64DiskException("REL file too large: at most " + std::to_string(FRelDataLimit) +
                                " data blocks on this disk!");
    const int Blocks = BlocksFor(Bytes.size(), Rel);
    if (GetFreeBlocks() < Blocks) throw EC64DiskFullException("Disk is full!");

    // The steps below change the image in memory only, keeping the former bytes of
    // every sector they write: the directory track with the BAM, the directory, and
    // each sector taken. A step that fails (a sector taken that something listed holds,
    // a BAM whose counts promise more than it has, a full directory) puts them all back.
    TUndoLog Undo;
    Undo.reserve(static_cast<size_t>(GetSectorsPerTrack(FDirTrack) + Blocks) + InUse.Directory.size());
    for (int s = 0; s < GetSectorsPerTrack(FDirTrack); ++s)
        Keep(Undo, GetSector(MakeTrackSector(FDirTrack, s)));
    for (TTrackSector ts : InUse.Directory)
        if (TrackOf(ts) != FDirTrack) Keep(Undo, GetSector(ts));
    const bool WasUpdating = FUpdating;
    FUpdating = true;
    try {
        uint8_t* Entry = AllocateDirEntry();
        if (!Entry) throw EC64DiskFullException("Maximum number of files reached!");
        // A directory grown by a sector took it from the free ones too.
        const TTrackSector Grown = ReadTrackSector(GetSector(InUse.Directory.back()));
        if (TrackOf(Grown) != 0) RefuseIfInUse(InUse, Grown);
        const TTrackSector First = FindFirstFreeSector();
        WriteChain(Bytes, First, InUse, Undo);
        Entry[2] = SourceEntry[2];
        WriteTrackSector(Entry + 3, First);
        std::memcpy(Entry + 5, SourceEntry + 5, 16);
        Entry[21] = Entry[22] = 0; // a side-sector link only for REL files, set below
        Entry[23] = SourceEntry[23];
        std::memcpy(Entry + 24, SourceEntry + 24, 6);
        // The block count is taken as it stands, but for an empty file: it is counted
        // with the blocks it takes, also where its source took none. A REL file's side
        // sectors are built anew for this disk: a count that held those of either kind
        // of disk holds this disk's.
        int Count = Bytes.empty() ? Blocks : SourceEntry[30] | SourceEntry[31] << 8;
        if (Rel && (Count == FileBlockCount(Bytes.size(), true, false) ||
                    Count == FileBlockCount(Bytes.size(), true, true)))
            Count = Blocks;
        Entry[30] = static_cast<uint8_t>(Count & 0xFF);
        Entry[31] = static_cast<uint8_t>(Count >> 8);
        if (Rel) BuildSideSectors(Entry, First, SourceEntry[23], InUse, Undo);
        // What a new trace would find: the new directory sector, the new file's sectors.
        if (TrackOf(Grown) != 0) {
            InUse.Directory.push_back(Grown);
            InUse.Holders[InUse.Index(Grown)].first = true;
        }
        for (TTrackSector Chain : {First, Rel ? ReadTrackSector(Entry + 21) : TTrackSector{0}})
            for (TTrackSector ts = Chain; TrackOf(ts) != 0; ts = ReadTrackSector(GetSector(ts)))
                InUse.Holders[InUse.Index(ts)].second = Entry;
    } catch (...) {
        for (auto Kept = Undo.rbegin(); Kept != Undo.rend(); ++Kept)
            std::memcpy(Kept->first, Kept->second.data(), 256);
        FUpdating = WasUpdating;
        throw;
    }
    FUpdating = WasUpdating;
    Save();
}

void TC64Disk::UseScratchFile(std::function<std::string()> Make) {
    FFileVersion.Forget();
    FMakeScratchFile = std::move(Make);
    FScratchSaves = true;
}

void TC64Disk::SaveToFile(const std::string& Name) {
    if (FUpdating) return;
    if (Name.empty()) throw EC64DiskException("SaveToFile():No Filename specified!");
    // Another file: what was known of the old one says nothing about it.
    if (Name != FFileName) FFileVersion.Forget();
    FFileName = Name;
    FMakeScratchFile = nullptr; // a file named here is the one written
    Save();
}

bool TC64Disk::FileChangedElsewhere() {
    if (!FFileVersion.Known() || FScratchSaves || !HostFile::IsRegularFile(FFileName)) return false;
    try {
        HostFile::TFile File(FFileName, HostFile::TFile::TMode::Read);
        return !FFileVersion.Matches(File);
    } catch (const std::exception&) {
        return false; // locked past the wait or unreadable: the next write still checks
    }
}

int TC64Disk::BlocksFor(size_t ByteCount, bool Rel) const {
    return FileBlockCount(ByteCount, Rel, FSuperSideSector);
}

void TC64Disk::RestoreImage(const ByteArray& Bytes) {
    if (!FImage || Bytes.size() != FImageSize)
        throw EC64DiskException("The image to restore has another size!");
    ByteArray Current(FImage.get(), FImage.get() + FImageSize);
    std::memcpy(FImage.get(), Bytes.data(), FImageSize);
    try {
        Save();
    } catch (...) {
        std::memcpy(FImage.get(), Current.data(), FImageSize);
        throw;
    }
}
