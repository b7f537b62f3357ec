// TD64: geometry, sector access, file I/O, BAM, directory and removal of files for
// 1541 images.
#include "d64.h"

#include "hostfile.h"
#include "iterator.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t TrackOffsets[41] = {
    0,      0,      5376,   10752,  16128,  21504,  26880,  32256,  37632,  43008,  48384,
    53760,  59136,  64512,  69888,  75264,  80640,  86016,  91392,  96256,  101120, 105984,
    110848, 115712, 120576, 125440, 130048, 134656, 139264, 143872, 148480, 153088, 157440,
    161792, 166144, 170496, 174848, 179200, 183552, 187904, 192256,
};

// Closes an update bracket when a bulk operation leaves by an exception, so that a
// failed operation never leaves the disk unable to write its file. Inside a caller's
// bracket it opens none: the caller's bracket ends with the caller's save.
class TUpdateGuard {
  public:
    explicit TUpdateGuard(TC64Disk& ADisk) : Disk(ADisk), Open(!ADisk.Updating()) {
        if (Open) Disk.BeginUpdate();
    }
    ~TUpdateGuard() {
        if (Open) Disk.EndUpdate(false);
    }
    void Close(bool DoSave) {
        if (!Open) return;
        Open = false;
        Disk.EndUpdate(DoSave);
    }

  private:
    TC64Disk& Disk;
    bool Open;
};

} // namespace

uint32_t TD64::TrackOffset(int Track) {
    return Track >= 1 && Track <= 40 ? TrackOffsets[Track] : 0;
}

uint32_t TD64::TrackStart(int Track) {
    return TrackOffset(Track);
}

TDiskType TD64::TypeOfSize(uint64_t Size) {
    switch (Size) {
    case 174848:
        return dt35Tracks;
    case 175531:
        return dt35TracksErrorInfo;
    case 196608:
        return dt40Tracks;
    case 197376:
        return dt40TracksErrorInfo;
    default:
        throw EC64DiskException("Format unsupported!");
    }
}

TD64::TD64(const std::string& Name, TDosEmulation Emulation) {
    FDirTrack = 18;
    FInterleave = 10;
    InitGeneral(Emulation);
    if (Name.empty()) throw EC64DiskException("No Filename specified!");
    LoadFromFile(Name);
}

TD64::TD64(const std::string& Name, TDosEmulation Emulation, TDiskType Type) {
    FDirTrack = 18;
    FInterleave = 10;
    InitGeneral(Emulation);
    if (Name.empty()) throw EC64DiskException("No Filename specified!");
    if (Type == dtNone) throw EC64DiskException("Invalid Disktype!\r\nCan't create Disk!");
    FFileName = Name;
    FDiskType = Type;
    if ((Type == dt40Tracks || Type == dt40TracksErrorInfo) && Emulation == deCbmDos)
        throw EC64DiskException("CBM-DOS doesn't support 40 Track disks!");
    AllocateImage(Type);
    FImageSize = ImageSizeOf(Type);

    uint8_t* Header = GetBamSector();
    WriteTrackSector(Header, MakeTrackSector(FDirTrack, 1));
    Header[2] = 0x41;
    Header[3] = 0x00;
    StringToPetscii("KOBALTMANDREXIS", Header + 144, 15);
    Header[160] = Header[161] = 0xA0;
    Header[162] = '0';
    Header[163] = '1';
    Header[164] = 0xA0;
    Header[165] = '2';
    Header[166] = 'A';
    std::memset(Header + 167, 0xA0, 4);
    for (int t = 1; t <= 35; ++t) {
        uint8_t* e = BamEntry(t);
        e[0] = static_cast<uint8_t>(GetSectorsPerTrack(t));
        e[1] = e[2] = 0xFF;
        e[3] = t <= 17 ? 0x1F : t <= 24 ? 0x07 : t <= 30 ? 0x03 : 0x01;
    }
    if (GetTrackCount() == 40) {
        for (int t = 36; t <= 40; ++t) {
            uint8_t* e = BamEntry(t);
            e[0] = 17;
            e[1] = e[2] = 0xFF;
            e[3] = 0x01;
        }
    }
    uint8_t* DirBam = BamEntry(FDirTrack);
    DirBam[0] = static_cast<uint8_t>(GetSectorsPerTrack(FDirTrack) - 2);
    DirBam[1] = 0xFC;
    DirBam[2] = 0xFF;
    DirBam[3] = 0x07;
    uint8_t* Dir = GetSector(MakeTrackSector(FDirTrack, 1));
    Dir[0] = 0x00;
    Dir[1] = 0xFF;
}

int TD64::GetSectorsPerTrack(int Track) {
    if (Track >= 1 && Track <= 17) return 21;
    if (Track >= 18 && Track <= 24) return 19;
    if (Track >= 25 && Track <= 30) return 18;
    if (Track >= 31 && Track <= 40) return 17;
    return 0;
}

int TD64::GetTrackCount() {
    switch (FDiskType) {
    case dt35Tracks:
    case dt35TracksErrorInfo:
        return 35;
    case dt40Tracks:
    case dt40TracksErrorInfo:
        return 40;
    default:
        return -1;
    }
}

int TD64::GetTotalSectors() {
    switch (GetTrackCount()) {
    case 35:
        return 683;
    case 40:
        return 768;
    default:
        return -1;
    }
}

bool TD64::CheckTrackSector(TTrackSector ts) {
    const int t = TrackOf(ts);
    const int s = SectorOf(ts);
    const bool Valid = (t >= 1 && t <= 35 && s < GetSectorsPerTrack(t)) ||
                       (t >= 36 && t <= 40 && s <= 16 && GetTrackCount() == 40);
    if (Valid) return true;
    char Text[64];
    std::snprintf(Text, sizeof Text, "Illegal Track/Sector value T:%d/S:%d", t, s);
    throw EC64DiskException(Text);
}

uint8_t* TD64::GetSector(TTrackSector ts) {
    CheckTrackSector(ts);
    return FImage.get() + TrackStart(TrackOf(ts)) + 256u * SectorOf(ts);
}

bool TD64::IsSoftWriteProtected() {
    return FImage && GetBamSector()[2] != FDosVersion;
}

void TD64::SetSoftWriteProtected(bool Protect) {
    if (!FImage) return;
    const uint8_t Wanted = Protect ? 0x01 : FDosVersion;
    uint8_t* Header = GetBamSector();
    if (Header[2] != Wanted) {
        Header[2] = Wanted;
        FlushTrack(FDirTrack);
    }
}

void TD64::VerifyWriteAccess() {
    if (FImage) CheckWriteAccess();
}

void TD64::WriteSectorData(TTrackSector ts, TTrackSector Link, const ByteArray& Data) {
    if (!FImage || !CheckWriteAccess()) return;
    uint8_t* p = GetSector(ts);
    WriteTrackSector(p, Link);
    if (!Data.empty()) std::memcpy(p + 2, Data.data(), std::min<size_t>(Data.size(), 254));
    FlushTrack(TrackOf(ts)); // inside a caller's update bracket this waits for its save
}

void TD64::CopyFirstTrackSector() {
    const uint8_t* Source = GetSector(MakeTrackSector(1, 1));
    uint8_t Copy[256];
    std::memcpy(Copy, Source, 256);
    WriteSector(MakeTrackSector(1, 0), Copy);
}

void TD64::FlushTrack(int Track) {
    if (FUpdating) return;
    // The working copy is written whole (and made at its first save).
    if (FScratchSaves) {
        Save();
        return;
    }
    if (!HostFile::Exists(FFileName)) {
        SaveToFile(FFileName);
        return;
    }
    const TTrackSector First = MakeTrackSector(Track, 0);
    CheckTrackSector(First);
    // A file this object never read or wrote (a new disk given the name of an existing
    // file) gets the whole image, never one track mixed into other contents.
    if (!FFileVersion.Known()) {
        Save();
        return;
    }
    HostFile::TFile File(FFileName, HostFile::TFile::TMode::Write);
    if (!FFileVersion.Matches(File)) throw EC64DiskChangedException(FFileName);
    const uint32_t Offset = TrackStart(Track);
    const size_t Count = 256u * static_cast<unsigned>(GetSectorsPerTrack(Track));
    File.WriteAt(Offset, GetSector(First), Count);
    FFileVersion.RecordPart(File.Stamp(), Offset, GetSector(First), Count);
}

void TD64::Save() {
    if (FUpdating || !FImage) return;
    if (FFileName.empty()) throw EC64DiskException("No Filename specified!");
    if (FScratchSaves) {
        if (FMakeScratchFile) {
            FFileName = FMakeScratchFile();
            FMakeScratchFile = nullptr;
        }
        HostFile::TFile File(FFileName, HostFile::TFile::TMode::Write);
        File.WriteAt(0, FImage.get(), FImageSize);
        File.Truncate(FImageSize);
        FFileVersion.Record(File.Stamp(), FImage.get(), FImageSize);
        return;
    }
    const HostFile::TFileStamp Stamp =
        HostFile::ReplaceWhole(FFileName, FImage.get(), FImageSize, [this](HostFile::TFile& Old) {
            if (FFileVersion.Known() && !FFileVersion.Matches(Old)) throw EC64DiskChangedException(FFileName);
        });
    FFileVersion.Record(Stamp, FImage.get(), FImageSize);
}

void TD64::LoadFromFile(const std::string& Name) {
    Clear();
    FFileVersion.Forget();
    HostFile::TFile File(Name, HostFile::TFile::TMode::Read);
    const uint64_t Size = File.Size();
    const TDiskType Type = TypeOfSize(Size);
    FDiskType = Type;
    FImageSize = static_cast<uint32_t>(Size);
    AllocateImage(Type);
    const HostFile::TFileStamp Stamp = File.Stamp();
    if (File.Read(FImage.get(), FImageSize) < FImageSize) {
        FImage.reset();
        throw EC64DiskException("Error while reading: " + Name);
    }
    FFileName = Name;
    FFileVersion.Record(Stamp, FImage.get(), FImageSize);
    DetectDosEmulation();
}

// --- BAM ---

bool TD64::IsSectorUsed(TTrackSector ts) {
    if (!FImage) return false;
    CheckTrackSector(ts);
    const TBamTrack Bam = BamTrack(TrackOf(ts));
    const int s = SectorOf(ts);
    return (Bam.Bits[s / 8] & (1u << (s % 8))) == 0;
}

void TD64::SetSectorUsed(TTrackSector ts, bool Used) {
    if (!FImage || !CheckWriteAccess()) return;
    CheckTrackSector(ts);
    if (IsSectorUsed(ts) != Used) {
        const TBamTrack Bam = BamTrack(TrackOf(ts));
        const int s = SectorOf(ts);
        const uint8_t Bit = static_cast<uint8_t>(1u << (s % 8));
        // The bit always follows the request; a counter already at its limit stays
        // there instead of wrapping.
        if (Used) {
            Bam.Bits[s / 8] &= static_cast<uint8_t>(~Bit);
            if (*Bam.Count > 0) --*Bam.Count;
        } else {
            Bam.Bits[s / 8] |= Bit;
            if (*Bam.Count < 255) ++*Bam.Count;
        }
    }
    FlushTrack(FDirTrack);
}

int TD64::GetTrackFreeSectors(int Track) {
    if (!FImage || Track < 1 || Track > 40 || (Track > 35 && GetTrackCount() != 40)) return 0;
    return BamEntry(Track)[0];
}

int TD64::GetFreeBlocks() {
    if (!FImage) return 0;
    int Sum = 0;
    for (int t = 1; t <= GetTrackCount(); ++t)
        if (CountsFree(t)) Sum += GetTrackFreeSectors(t);
    return Sum;
}

void TD64::SetFreeBlocks(int Blocks) {
    if (!FImage || !CheckWriteAccess()) return;
    BeginUpdate();
    int Remaining = std::max(Blocks, 0);
    for (int t = 1; t <= GetTrackCount(); ++t) {
        if (!CountsFree(t)) continue;
        uint8_t* e = BamTrack(t).Count;
        if (Remaining < 256) {
            e[0] = static_cast<uint8_t>(Remaining);
            Remaining = 0;
        } else {
            e[0] = 255;
            Remaining -= 255;
        }
    }
    EndUpdate(false);
    FlushTrack(FDirTrack);
}

int TD64::GetFreeBlocksLimit() {
    switch (GetTrackCount()) {
    case 35:
        return 8670;
    case 40:
        return 9945;
    default:
        return 0;
    }
}

int TD64::GetDataBlockCount() {
    switch (GetTrackCount()) {
    case 35:
        return 664;
    case 40:
        return 749;
    default:
        return 0;
    }
}

void TD64::SetDosEmulation(TDosEmulation Emulation) {
    if (Emulation == dePrologicDos) throw EC64DiskException("Prologic-Dos not supported!");
    if (Emulation == deCbmDos && (FDiskType == dt40Tracks || FDiskType == dt40TracksErrorInfo))
        throw EC64DiskException("CBM-Dos V2.6 doesn't support 40 Track disks!");
    FDosEmulation = Emulation;
}

// --- Directory ---

PetsciiString TD64::GetDiskName() {
    return FImage ? PetsciiToString(GetBamSector() + FNameOffset, 15) : PetsciiString();
}
PetsciiString TD64::GetDiskID() {
    return FImage ? PetsciiToString(GetBamSector() + FNameOffset + 18, 2) : PetsciiString();
}
PetsciiString TD64::GetDosType() {
    return FImage ? PetsciiToString(GetBamSector() + FNameOffset + 21, 1) : PetsciiString();
}

void TD64::SetDiskName(const PetsciiString& Name) {
    if (!FImage || !CheckWriteAccess()) return;
    StringToPetscii(Name, GetBamSector() + FNameOffset, 15);
    FlushTrack(FDirTrack);
}

void TD64::SetDiskID(const PetsciiString& ID) {
    if (!FImage || !CheckWriteAccess()) return;
    StringToPetscii(ID.substr(0, 3), GetBamSector() + FNameOffset + 18, 2);
    FlushTrack(FDirTrack);
}

void TD64::SetDosType(const PetsciiString& DosType) {
    if (!FImage || !CheckWriteAccess()) return;
    StringToPetscii(DosType.substr(0, 2), GetBamSector() + FNameOffset + 21, 1);
    FlushTrack(FDirTrack);
}

int TD64::ReadDirectory(TFileKindSet Kinds, const TDirEntryCallback& Callback) {
    if (!FImage || !Callback) throw EC64DiskException("Can't decode directory!");
    int Count = 0;
    std::vector<bool> Seen;
    const TTrackSector FirstTs = FirstDirSector();
    uint8_t* Current = GetSector(FirstTs);
    MarkSeen(FirstTs, Seen);
    for (;;) {
        for (int Slot = 0; Slot < 8; ++Slot) {
            uint8_t* Entry = Current + 32 * Slot;
            const TFileTypeInfo Info = DecodeFileType(Entry[2]);
            if (!Kinds.Contains(Info.Kind)) continue;
            ++Count;
            TC64DirRecord Record;
            Record.Name = PetsciiToString(Entry + 5, 15);
            Record.Blocks = Entry[30] | (Entry[31] << 8);
            Record.Kind = Info.Kind;
            Record.Locked = Info.Locked;
            Record.Closed = Info.Closed;
            Record.Track = Entry[3];
            Record.Sector = Entry[4];
            Record.Entry = Entry;
            Callback(Record);
        }
        if (Current[0] == 0) break;
        Current = NextDirSector(Current, Seen);
    }
    return Count;
}

void TD64::FlushEntry(const uint8_t* Entry) {
    FlushTrack(FDirTrack);
    // An entry in a directory sector off the directory track needs its own track written.
    const int Track = TrackOfPointer(Entry);
    if (Track != 0 && Track != FDirTrack) FlushTrack(Track);
}

void TD64::ChangeFileEntry(uint8_t* Entry, const PetsciiString& Name, int Blocks) {
    if (!FImage || !CheckWriteAccess() || !Entry) return;
    StringToPetscii(Name, Entry + 5, 15);
    Entry[30] = static_cast<uint8_t>(Blocks & 0xFF);
    Entry[31] = static_cast<uint8_t>((Blocks >> 8) & 0xFF);
    FlushEntry(Entry);
}

void TD64::RenameFile(uint8_t* Entry, const PetsciiString& Name) {
    if (!FImage || !CheckWriteAccess() || !Entry) return;
    ChangeFileEntry(Entry, Name, Entry[30] | (Entry[31] << 8));
}

// --- Files ---

ISectorIteratorPtr TD64::CreateSectorIterator(uint8_t* Entry) {
    if (!Entry || Entry[3] == 0 || Entry[3] == FDirTrack) return nullptr;
    return std::make_shared<TSimpleSectorIterator>(this, Entry);
}

void TD64::ScratchFiles(const std::vector<uint8_t*>& Entries, bool Wipe) {
    if (!FImage || !CheckWriteAccess() || Entries.empty()) return;
    TUpdateGuard Bracket(*this);
    for (uint8_t* Entry : Entries) {
        if (!Entry) continue;
        // A REL file's side sectors (and super side sector) are freed with its data.
        std::vector<TTrackSector> Sides;
        if (!IsChainValid(Entry) || !SideSectorChain(Entry, Sides))
            throw EC64DiskException("Can't scratch file(s) because of an invalid file-chain!\r\nValidate the "
                                    "disk and try it again.");
        TTrackSector ts = MakeTrackSector(Entry[3], Entry[4]);
        if (Wipe)
            std::memset(Entry + 2, 0, 30);
        else
            EncodeFileType(Entry + 2, TFileTypeInfo{fkEmpty, 0, 0});
        while (TrackOf(ts) != 0 && TrackOf(ts) != FDirTrack) {
            SetSectorUsed(ts, false);
            uint8_t* p = GetSector(ts);
            const TTrackSector Next = ReadTrackSector(p);
            if (Wipe) std::memset(p, 0, 256);
            ts = Next;
        }
        for (TTrackSector Side : Sides) {
            SetSectorUsed(Side, false);
            if (Wipe) std::memset(GetSector(Side), 0, 256);
        }
    }
    Bracket.Close(true);
}
