// The abstract disk object: fields, the table of virtual operations, the engine's
// exceptions, the factories and the PETSCII field helpers.
#pragma once

#include "cmd_types.h"
#include "hostfile.h"

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Every refusal of the engine, with its fixed message.
class EC64DiskException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// No free sector or no free directory slot.
class EC64DiskFullException : public EC64DiskException {
  public:
    using EC64DiskException::EC64DiskException;
};

// The image file was changed by another program since this disk object read or last
// wrote it; nothing was written.
class EC64DiskChangedException : public EC64DiskException {
  public:
    explicit EC64DiskChangedException(const std::string& AFileName);
    // The image file concerned.
    const std::string FileName;
};

// A sector iterator asked past its end.
class ENoSuchElementException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Fills field bytes 0..LastIndex with 0xA0, then copies at most LastIndex+1 bytes of Text.
void StringToPetscii(const PetsciiString& Text, uint8_t* Field, int LastIndex);
// Field bytes 0..LastIndex up to, not including, the first 0xA0.
PetsciiString PetsciiToString(const uint8_t* Field, int LastIndex);
// A host file name from a name field: control bytes skipped, cut at 0xA0 and at
// characters a host path cannot hold.
std::string PetsciiToFileName(const uint8_t* Field, int LastIndex);
// How d64tool's command line spells one byte of a name: 0x41-0x5A as a-z, 0xC1-0xDA as
// A-Z, 0x20-0x40, '[' and ']' as themselves, every other byte as {$XX}.
std::string PetsciiByteSpelling(uint8_t Byte);
// The host name (without extension) a file is exported under, from its 16-byte name field:
// the listed name (up to the first 0xA0) spelled as d64tool's command line spells names,
// so that importing the file gives back the same name. 0x41-0x5A become a-z, 0xC1-0xDA
// A-Z, 0x20-0x40, '[' and ']' stay, every other byte is {$XX}, and so are '/' and a
// leading '.', so that the name stays one visible file in the folder. An empty name is
// "{$A0}". Plain ASCII: valid UTF-8, and one name for each C64 name.
std::string ExportBaseName(const uint8_t* NameField);

class TC64Disk {
  public:
    // Receives the engine's information messages (the unsupported image kinds).
    using TNotifyHook = std::function<void(const std::string&)>;
    static void SetNotifyHook(TNotifyHook Hook);

    // Opens an existing image; none (after a message) for image kinds not supported yet.
    static std::unique_ptr<TC64Disk> OpenDiskImage(const std::string& FileName, TDosEmulation DosEmulation);
    // A new formatted image in memory; none for a disk type outside 1-4.
    static std::unique_ptr<TC64Disk> CreateDiskImage(const std::string& FileName, TDiskType DiskType,
                                                     TDosEmulation DosEmulation);

    virtual ~TC64Disk();
    TC64Disk(const TC64Disk&) = delete;
    TC64Disk& operator=(const TC64Disk&) = delete;

    // Virtual operations, in slot order.
    virtual bool CheckWriteAccess();
    virtual TTrackSector FindFirstFreeSector();
    virtual bool IsSectorUsed(TTrackSector ts) = 0;
    virtual PetsciiString GetHeaderLine();
    virtual PetsciiString GetDiskID() = 0;
    virtual PetsciiString GetDiskName() = 0;
    virtual PetsciiString GetDosType() = 0;
    virtual int GetFreeBlocksLimit() = 0;
    virtual int GetFreeBlocks() = 0;
    virtual int GetTrackFreeSectors(int Track) = 0;
    virtual int GetDataBlockCount() = 0;
    virtual TTrackSector FindNextFreeSector(TTrackSector ts, bool Wrapped);
    virtual int GetSectorsPerTrack(int Track) = 0;
    virtual int GetTotalSectors() = 0;
    virtual ISectorIteratorPtr CreateSectorIterator(uint8_t* Entry) = 0;
    virtual uint8_t* GetSector(TTrackSector ts) = 0;
    virtual bool IsSoftWriteProtected() = 0;
    virtual int GetTrackCount() = 0;
    virtual void Clear();
    virtual uint8_t* AllocateDirEntry();
    virtual void FlushTrack(int Track) = 0;
    virtual void SetSectorUsed(TTrackSector ts, bool Used) = 0;
    virtual void SetDiskID(const PetsciiString& ID) = 0;
    virtual void SetDiskName(const PetsciiString& Name) = 0;
    virtual void SetDosEmulation(TDosEmulation Emulation) = 0;
    virtual void SetDosType(const PetsciiString& DosType) = 0;
    virtual void SetFreeBlocks(int Blocks) = 0;
    virtual void SetSoftWriteProtected(bool Protect) = 0;
    virtual void WriteSector(TTrackSector ts, const uint8_t* Sector);
    virtual void WriteSectorData(TTrackSector ts, TTrackSector Link, const ByteArray& Data) = 0;
    // (The two constructors of TD64, Create and CreateNew, stand here.)
    virtual bool IsChainValid(const uint8_t* Entry);
    virtual TFileTypeInfo DecodeFileType(uint8_t TypeByte);
    virtual void ScratchFiles(const std::vector<uint8_t*>& Entries, bool Wipe) = 0;
    virtual void EncodeFileType(uint8_t* TypeByte, const TFileTypeInfo& Info);
    virtual int ReadDirectory(TFileKindSet Kinds, const TDirEntryCallback& Callback) = 0;
    virtual int GetRealFileSize(uint8_t* Entry);
    virtual bool CheckTrackSector(TTrackSector ts) = 0;
    virtual ByteArray LoadFile(uint8_t* Entry);
    virtual void LoadFromFile(const std::string& FileName) = 0;
    virtual void ChangeFileEntry(uint8_t* Entry, const PetsciiString& Name, int Blocks) = 0;
    virtual void RenameFile(uint8_t* Entry, const PetsciiString& Name) = 0;
    virtual void Save() = 0;
    virtual void CopyFileFrom(uint8_t* SourceEntry, TC64Disk& Source);
    // CopyFileFrom for each entry in turn, as many calls would; the files between two
    // partitions are added with one trace of the sectors in use (AddFiles).
    void CopyFilesFrom(const std::vector<uint8_t*>& SourceEntries, TC64Disk& Source);
    virtual void SaveToFile(const std::string& FileName);
    // Later saves go to a private working copy that nothing depends on after a crash:
    // written whole, without syncs. Make creates it and gives its path at the first such
    // save, so that a change saved only at its end makes none. Nothing is written now.
    void UseScratchFile(std::function<std::string()> Make);
    virtual void VerifyWriteAccess() = 0;
    virtual void CopyFirstTrackSector() = 0;

    // Appends a file with these bytes to this disk under the rules of CopyFileFrom,
    // taking type byte, name and the other entry fields from a 32-byte entry. Refuses,
    // with the image unchanged, a disk without room for its data and side sectors, and
    // a sector to take that the BAM calls free but a listed file or the directory holds.
    void AddFile(const ByteArray& Bytes, const uint8_t* SourceEntry);
    // AddFile for each file in turn (bytes, 32-byte entry), as many calls would, but with
    // the sectors in use traced once for the list rather than once for each file.
    void AddFiles(const std::vector<std::pair<const ByteArray*, const uint8_t*>>& Files);

    // What the directory says each sector holds: the header and the directory chain, or
    // the listed file whose chain or REL side sectors run through it.
    struct TSectorsInUse {
        using THolder = std::pair<bool, const uint8_t*>; // (directory, file entry)
        std::vector<TTrackSector> Directory;
        std::vector<size_t> TrackStart; // index of each track's sector 0 in Holders
        std::vector<THolder> Holders;
        bool OnDisk(TTrackSector ts) const;
        size_t Index(TTrackSector ts) const {
            return TrackStart[static_cast<size_t>(TrackOf(ts))] + static_cast<size_t>(SectorOf(ts));
        }
        const THolder& At(TTrackSector ts) const { return Holders[Index(ts)]; }
    };
    // Where a chain walk stops short of a link to track 0: Link leaves the disk, or
    // comes to a sector already held (by the directory, by the file itself or by
    // another file). From is the sector holding the link, 0 for the directory entry.
    struct TChainStop {
        const uint8_t* Entry;
        TTrackSector From;
        TTrackSector Link;
    };
    using TChainStopHook = std::function<void(const TSectorsInUse&, const TChainStop&)>;
    // One walk of the header, the directory and the chains and REL side sectors of the
    // listed files Walked takes (all when none), each sector visited once; Stop hears
    // of every chain that ends otherwise than by a link to track 0. Raises for a
    // directory chain that loops or leaves the disk.
    TSectorsInUse TraceSectors(const std::function<bool(const uint8_t*)>& Walked, const TChainStopHook& Stop);
    // The BAM entry of a track: its free count, then one bit per sector (1541: the header
    // for 1-35, the extended BAM for 36-40).
    virtual uint8_t* BamEntry(int Track);
    // Where a track's BAM lies: its free count and its bitmap (a set bit is a free sector);
    // by default the entry's count and the bits that follow it.
    struct TBamTrack {
        uint8_t* Count;
        uint8_t* Bits;
    };
    virtual TBamTrack BamTrack(int Track);
    // Sectors the disk keeps for itself besides the header, the BAM and the directory chain
    // (none on a 1541 disk); traced as the directory's.
    virtual std::vector<TTrackSector> ReservedSectors();
    // The header and the sectors holding the BAM, none of them part of the directory chain.
    virtual std::vector<TTrackSector> SystemSectors();
    // The bytes of the header and of every sector holding BAM bytes as they are now, for
    // PutBack to restore when a change of them fails.
    using TKeptSectors = std::vector<std::pair<uint8_t*, std::array<uint8_t, 256>>>;
    TKeptSectors KeepSystemSectors();
    static void PutBack(const TKeptSectors& Kept);
    // The sectors of a file that is a run of whole sectors rather than a chain (a 1581
    // partition), in order; none for a chained file.
    virtual std::vector<TTrackSector> RunOf(const uint8_t* Entry);

    void BeginUpdate();
    void EndUpdate(bool DoSave);
    uint8_t* GetBamSector();
    uint8_t* GetExtendedBam();

    TDiskType DiskType() const { return FDiskType; }
    uint32_t ImageSize() const { return FImageSize; }
    TDosEmulation DosEmulation() const { return FDosEmulation; }
    const std::string& FileName() const { return FFileName; }
    const uint8_t* Image() const { return FImage.get(); }
    int DirTrack() const { return FDirTrack; }
    int Interleave() const { return FInterleave; }
    bool Updating() const { return FUpdating; }

    // True when the image file no longer holds what this object last read or wrote:
    // another program has changed it. False when it does, when this object knows no
    // version of it, and when the file is gone or cannot be read now.
    bool FileChangedElsewhere();

    // When true, soft write protection is not enforced. Set by callers.
    bool IgnoreSoftWriteProtection = true;

    // Puts whole image bytes of this disk's size (an earlier state of it) back in memory
    // and writes them in one save, after the check that no other program changed the
    // file. Soft write protection does not stop it: the bytes are the disk's own. When
    // the save fails, the image in memory stays as it was.
    void RestoreImage(const ByteArray& Bytes);
    // The blocks a file of ByteCount bytes takes on this disk.
    int BlocksFor(size_t ByteCount, bool Rel) const;

  protected:
    TC64Disk();
    // The part both constructors share: flags, the PrologicDOS refusal, the emulation.
    void InitGeneral(TDosEmulation DosEmulation);
    void AllocateImage(TDiskType Type);
    void DetectDosEmulation();
    // The track whose sectors hold the given pointer into the image, or 0.
    int TrackOfPointer(const uint8_t* p);
    // Next sector of a directory chain, refusing a link back to a sector already seen.
    uint8_t* NextDirSector(uint8_t* Current, std::vector<bool>& Seen);
    // The sectors of the directory chain in order. Raises for a chain that loops or
    // leaves the disk, so that nothing is written into a directory that cannot be listed.
    std::vector<TTrackSector> DirectoryChain();
    bool MarkSeen(TTrackSector ts, std::vector<bool>& Seen);
    // The next free sector of a track at the interleave from Sector, other than Given;
    // 0 when there is none, with Sector moved on as the search left it.
    TTrackSector FreeSectorAfter(int Track, int& Sector, TTrackSector Given);
    int SectorIndex(TTrackSector ts);
    // The first sector of the directory chain.
    virtual TTrackSector FirstDirSector();
    // Refuses, before anything changes, a file this kind of disk cannot take.
    virtual void CheckCanAdd(const uint8_t* SourceEntry);

    TDiskType FDiskType = dtNone;
    uint32_t FImageSize = 0;
    TDosEmulation FDosEmulation = deCbmDos;
    std::string FFileName;
    std::unique_ptr<uint8_t[]> FImage;
    uint8_t FInterleave = 10;
    bool FUpdating = false;
    int FDirTrack = 18;
    // The sector interleave of a growing directory.
    uint8_t FDirInterleave = 3;
    // The image file as this object last read or wrote it.
    HostFile::TKnownVersion FFileVersion;
    // Saves go to a working copy (UseScratchFile).
    bool FScratchSaves = false;
    std::function<std::string()> FMakeScratchFile; // until the working copy exists
    // REL files: whether the entry points to a super side sector that lists the first side
    // sector of each group of six (the 1581), and the most data sectors one REL file may
    // have (the drive's limit; without a super side sector, six side sectors' worth).
    bool FSuperSideSector = false;
    int FRelDataLimit = 720;

    // The side sectors of a REL file (the super side sector first where there is one), in
    // chain order; none for other files. False for a chain that loops.
    bool SideSectorChain(const uint8_t* Entry, std::vector<TTrackSector>& Chain);

  private:
    // The former bytes of the sectors a change writes, in the order kept, so that a
    // change that fails part way can put every byte back.
    using TUndoLog = std::vector<std::pair<uint8_t*, std::array<uint8_t, 256>>>;

    // One walk of the header, the directory and every listed file's chain and REL side
    // sectors, each sector visited once (loops and links off the disk end a chain).
    // Raises for a file that runs through the header or the directory: a new entry or
    // BAM change would write into that file.
    TSectorsInUse FindSectorsInUse();
    // Raises for a sector that the BAM calls free but something listed holds: the disk
    // is damaged, and writing there would overwrite it.
    void RefuseIfInUse(const TSectorsInUse& InUse, TTrackSector ts);
    void WriteChain(const ByteArray& Bytes, TTrackSector First, const TSectorsInUse& InUse, TUndoLog& Undo);
    void BuildSideSectors(uint8_t* DirEntry, TTrackSector First, uint8_t RecordLength,
                          const TSectorsInUse& InUse, TUndoLog& Undo);
    // AddFile's work with the sectors in use given; the file added (its entry, a directory
    // sector it took, its chain and side sectors) is then recorded in InUse.
    void AddTracedFile(const ByteArray& Bytes, const uint8_t* SourceEntry, TSectorsInUse& InUse);
};

// Size in bytes of an image of each disk type (0 for dtNone and unknown values).
uint32_t ImageSizeOf(TDiskType Type);
// The blocks a file of ByteCount bytes takes: its data sectors (one at least) and, for a REL
// file, a side sector per 120 of them and the super side sector where the disk has one.
int FileBlockCount(size_t ByteCount, bool Rel, bool SuperSideSector);
// Listing text of a file kind: "PRG", "SEQ", ..., "CBM", "?" or "UNKNOWN".
const char* FileKindText(TFileKind Kind);
// The type column of a listing: the kind's text, "<" when locked, "*" when not closed.
std::string FileTypeText(const TC64DirRecord& Record);
// The first track and sector of a listing row, as "%2u/%2u".
std::string TrackSectorText(const TC64DirRecord& Record);
