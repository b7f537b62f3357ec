// TD81: geometry, header fields, BAM and formatting of 1581 images.
#include "d81.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int TrackCount = 80;
constexpr int TrackSectors = 40;
constexpr int HeaderTrack = 40;
constexpr uint8_t DosVersion = 0x44; // 'D'

} // namespace

void TD81::InitGeometry() {
    FDirTrack = HeaderTrack;
    FNameOffset = 4;
    FDosVersion = DosVersion;
    // The 1581 writes a file's sectors one after the other, and so its directory.
    FInterleave = 1;
    FDirInterleave = 1;
    // REL files of up to 3000 data blocks, their side sectors listed by a super side sector.
    FSuperSideSector = true;
    FRelDataLimit = 3000;
}

TD81::TD81(const std::string& Name, TDosEmulation Emulation) {
    InitGeometry();
    InitGeneral(Emulation);
    if (Name.empty()) throw EC64DiskException("No Filename specified!");
    LoadFromFile(Name);
}

TD81::TD81(const std::string& Name, TDosEmulation Emulation, TDiskType Type) {
    InitGeometry();
    InitGeneral(Emulation);
    if (Name.empty()) throw EC64DiskException("No Filename specified!");
    if (Type != dtD81 && Type != dtD81ErrorInfo)
        throw EC64DiskException("Invalid Disktype!\r\nCan't create Disk!");
    FFileName = Name;
    FDiskType = Type;
    FDosEmulation = deCbmDos;
    AllocateImage(Type);
    FImageSize = ImageSizeOf(Type);

    // The header as the 1581's format writes it: link to the directory, version, name,
    // ID and DOS type "3D".
    uint8_t* Header = GetSector(MakeTrackSector(HeaderTrack, 0));
    WriteTrackSector(Header, MakeTrackSector(HeaderTrack, 3));
    Header[2] = DosVersion;
    std::memset(Header + 4, 0xA0, 25);
    StringToPetscii("KOBALTMANDREXIS", Header + 4, 15);
    Header[22] = '0';
    Header[23] = '1';
    Header[25] = '3';
    Header[26] = 'D';
    // Two BAM sectors, each with version, its complement, the ID and the I/O byte.
    for (int s = 1; s <= 2; ++s) {
        uint8_t* Bam = GetSector(MakeTrackSector(HeaderTrack, s));
        WriteTrackSector(Bam, s == 1 ? MakeTrackSector(HeaderTrack, 2) : MakeTrackSector(0, 0xFF));
        Bam[2] = DosVersion;
        Bam[3] = static_cast<uint8_t>(~DosVersion);
        Bam[4] = Header[22];
        Bam[5] = Header[23];
        Bam[6] = 0xC0;
    }
    for (int t = 1; t <= TrackCount; ++t) {
        uint8_t* e = BamEntry(t);
        e[0] = TrackSectors;
        std::memset(e + 1, 0xFF, 5);
    }
    // Header, both BAM sectors and the first directory sector are taken.
    uint8_t* DirBam = BamEntry(HeaderTrack);
    DirBam[0] = TrackSectors - 4;
    DirBam[1] = 0xF0;
    uint8_t* Dir = GetSector(MakeTrackSector(HeaderTrack, 3));
    Dir[0] = 0x00;
    Dir[1] = 0xFF;
}

uint32_t TD81::TrackStart(int Track) {
    return Track >= 1 && Track <= TrackCount ? 256u * TrackSectors * static_cast<uint32_t>(Track - 1) : 0;
}

TDiskType TD81::TypeOfSize(uint64_t Size) {
    if (Size == ImageSizeOf(dtD81)) return dtD81;
    if (Size == ImageSizeOf(dtD81ErrorInfo)) return dtD81ErrorInfo;
    throw EC64DiskException("Format unsupported!");
}

int TD81::GetSectorsPerTrack(int Track) {
    return Track >= 1 && Track <= TrackCount ? TrackSectors : 0;
}

int TD81::GetTrackCount() {
    return TrackCount;
}

int TD81::GetTotalSectors() {
    return TrackCount * TrackSectors;
}

bool TD81::CheckTrackSector(TTrackSector ts) {
    const int t = TrackOf(ts);
    const int s = SectorOf(ts);
    if (t >= 1 && t <= TrackCount && s < TrackSectors) return true;
    char Text[64];
    std::snprintf(Text, sizeof Text, "Illegal Track/Sector value T:%d/S:%d", t, s);
    throw EC64DiskException(Text);
}

uint8_t* TD81::BamEntry(int Track) {
    const int Side = Track <= 40 ? 1 : 2;
    return GetSector(MakeTrackSector(HeaderTrack, Side)) + 16 + 6 * ((Track - 1) % 40);
}

std::vector<TTrackSector> TD81::SystemSectors() {
    return {MakeTrackSector(HeaderTrack, 0), MakeTrackSector(HeaderTrack, 1),
            MakeTrackSector(HeaderTrack, 2)};
}

TTrackSector TD81::FirstDirSector() {
    return MakeTrackSector(HeaderTrack, 3);
}

void TD81::CheckCanAdd(const uint8_t* SourceEntry) {
    // A partition is a run of sectors, not a chain.
    if (DecodeFileType(SourceEntry[2]).Kind == fkOther)
        throw EC64DiskException("CBM partitions can't be written to a D81 disk!");
}

int TD81::GetTrackFreeSectors(int Track) {
    if (!FImage || Track < 1 || Track > TrackCount) return 0;
    return BamEntry(Track)[0];
}

int TD81::GetFreeBlocksLimit() {
    return (TrackCount - 1) * 255;
}

int TD81::GetDataBlockCount() {
    return (TrackCount - 1) * TrackSectors;
}

void TD81::SetDiskID(const PetsciiString& ID) {
    if (!FImage || !CheckWriteAccess()) return;
    // Two characters, as the 1581's format takes them, and a copy in each BAM sector.
    uint8_t* Header = GetBamSector();
    StringToPetscii(ID.substr(0, 2), Header + 22, 1);
    for (int s = 1; s <= 2; ++s)
        std::memcpy(GetSector(MakeTrackSector(HeaderTrack, s)) + 4, Header + 22, 2);
    FlushTrack(FDirTrack);
}

std::vector<TTrackSector> TD81::RunOf(const uint8_t* Entry) {
    std::vector<TTrackSector> Run;
    if (!Entry || DecodeFileType(Entry[2]).Kind != fkOther) return Run;
    // From the first sector on, track after track, as far as the disk reaches.
    const int First = (Entry[3] - 1) * TrackSectors + Entry[4];
    const int Blocks = Entry[30] | Entry[31] << 8;
    if (Entry[3] < 1 || Entry[3] > TrackCount || Entry[4] >= TrackSectors) return Run;
    for (int i = First; i < First + Blocks && i < TrackCount * TrackSectors; ++i)
        Run.push_back(MakeTrackSector(1 + i / TrackSectors, i % TrackSectors));
    return Run;
}

std::vector<TTrackSector> TD81::SoundRun(const uint8_t* Entry, std::vector<TTrackSector> Run) {
    const size_t Blocks = static_cast<size_t>(Entry[30] | Entry[31] << 8);
    for (TTrackSector ts : Run)
        if (TrackOf(ts) == HeaderTrack) Run.clear();
    if (Run.size() != Blocks)
        throw EC64DiskException(
            "Partition \"" + PetsciiToString(Entry + 5, 15) +
            "\" covers track 40 or leaves the disk!\r\nValidate the disk and try it again.");
    return Run;
}

void TD81::ScratchFiles(const std::vector<uint8_t*>& Entries, bool Wipe) {
    if (!FImage || !CheckWriteAccess() || Entries.empty()) return;
    std::vector<uint8_t*> Chained;
    const bool Bracketed = FUpdating;
    FUpdating = true;
    for (uint8_t* Entry : Entries) {
        if (RunOf(Entry).empty())
            Chained.push_back(Entry);
        else
            SoundRun(Entry, RunOf(Entry));
    }
    for (uint8_t* Entry : Entries) {
        const std::vector<TTrackSector> Run = RunOf(Entry);
        if (Run.empty()) continue;
        for (TTrackSector ts : Run) {
            SetSectorUsed(ts, false);
            if (Wipe) std::memset(GetSector(ts), 0, 256);
        }
        if (Wipe)
            std::memset(Entry + 2, 0, 30);
        else
            Entry[2] = 0;
    }
    FUpdating = Bracketed;
    if (!Chained.empty())
        TD64::ScratchFiles(Chained, Wipe);
    else if (!Bracketed)
        Save();
}

ByteArray TD81::LoadFile(uint8_t* Entry) {
    if (RunOf(Entry).empty()) return TD64::LoadFile(Entry);
    const std::vector<TTrackSector> Run = SoundRun(Entry, RunOf(Entry));
    ByteArray Bytes;
    Bytes.reserve(256 * Run.size());
    for (TTrackSector ts : Run)
        Bytes.insert(Bytes.end(), GetSector(ts), GetSector(ts) + 256);
    return Bytes;
}

int TD81::GetRealFileSize(uint8_t* Entry) {
    if (RunOf(Entry).empty()) return TD64::GetRealFileSize(Entry);
    return static_cast<int>(256 * SoundRun(Entry, RunOf(Entry)).size());
}

void TD81::CopyFileFrom(uint8_t* SourceEntry, TC64Disk& Source) {
    const std::vector<TTrackSector> Run = Source.RunOf(SourceEntry);
    if (Run.empty() || Source.GetTrackCount() != TrackCount) {
        TD64::CopyFileFrom(SourceEntry, Source);
        return;
    }
    CheckWriteAccess();
    SoundRun(SourceEntry, Run);
    const TSectorsInUse InUse = TraceSectors(nullptr, nullptr);
    for (TTrackSector ts : Run) {
        const auto& [Directory, Entry] = InUse.At(ts);
        if (IsSectorUsed(ts) || Directory || Entry) {
            char Text[96];
            std::snprintf(Text, sizeof Text, "No room for the partition: T:%d/S:%d is in use!", TrackOf(ts),
                          SectorOf(ts));
            throw EC64DiskFullException(Text);
        }
    }
    // Track 40 holds the BAM and the directory, which may grow by a sector; the run's
    // sectors are taken whole. All of it comes back when a step fails.
    std::vector<std::pair<uint8_t*, ByteArray>> Kept;
    const auto Keep = [&](TTrackSector ts) {
        uint8_t* Sector = GetSector(ts);
        Kept.emplace_back(Sector, ByteArray(Sector, Sector + 256));
    };
    for (int s = 0; s < TrackSectors; ++s)
        Keep(MakeTrackSector(HeaderTrack, s));
    for (TTrackSector ts : Run)
        Keep(ts);
    const bool WasUpdating = FUpdating;
    FUpdating = true;
    try {
        uint8_t* Entry = AllocateDirEntry();
        if (!Entry) throw EC64DiskFullException("Maximum number of files reached!");
        for (TTrackSector ts : Run) {
            std::memcpy(GetSector(ts), Source.GetSector(ts), 256);
            SetSectorUsed(ts, true);
        }
        std::memcpy(Entry + 2, SourceEntry + 2, 30);
    } catch (...) {
        for (const auto& [Sector, Bytes] : Kept)
            std::memcpy(Sector, Bytes.data(), 256);
        FUpdating = WasUpdating;
        throw;
    }
    FUpdating = WasUpdating;
    Save();
}
