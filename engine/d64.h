// TD64: the 1541 image, 35 or 40 tracks, with or without error information.
#pragma once

#include "c64disk.h"

class TD64 : public TC64Disk {
  public:
    // Opens an existing image file.
    TD64(const std::string& FileName, TDosEmulation DosEmulation);
    // Formats a new image in memory; nothing is written until the first flush.
    TD64(const std::string& FileName, TDosEmulation DosEmulation, TDiskType DiskType);

    bool IsSectorUsed(TTrackSector ts) override;
    PetsciiString GetDiskID() override;
    PetsciiString GetDiskName() override;
    PetsciiString GetDosType() override;
    int GetFreeBlocksLimit() override;
    int GetFreeBlocks() override;
    int GetTrackFreeSectors(int Track) override;
    int GetDataBlockCount() override;
    int GetSectorsPerTrack(int Track) override;
    int GetTotalSectors() override;
    ISectorIteratorPtr CreateSectorIterator(uint8_t* Entry) override;
    uint8_t* GetSector(TTrackSector ts) override;
    bool IsSoftWriteProtected() override;
    int GetTrackCount() override;
    void FlushTrack(int Track) override;
    void SetSectorUsed(TTrackSector ts, bool Used) override;
    void SetDiskID(const PetsciiString& ID) override;
    void SetDiskName(const PetsciiString& Name) override;
    void SetDosEmulation(TDosEmulation Emulation) override;
    void SetDosType(const PetsciiString& DosType) override;
    void SetFreeBlocks(int Blocks) override;
    void SetSoftWriteProtected(bool Protect) override;
    void WriteSectorData(TTrackSector ts, TTrackSector Link, const ByteArray& Data) override;
    void ScratchFiles(const std::vector<uint8_t*>& Entries, bool Wipe) override;
    int ReadDirectory(TFileKindSet Kinds, const TDirEntryCallback& Callback) override;
    bool CheckTrackSector(TTrackSector ts) override;
    void LoadFromFile(const std::string& FileName) override;
    void ChangeFileEntry(uint8_t* Entry, const PetsciiString& Name, int Blocks) override;
    void RenameFile(uint8_t* Entry, const PetsciiString& Name) override;
    void Save() override;
    void VerifyWriteAccess() override;
    void CopyFirstTrackSector() override;

    // Byte offset of a track's first sector in the image (tracks 1-40).
    static uint32_t TrackOffset(int Track);

  protected:
    // For kinds built on this one: they set the fields themselves.
    TD64() = default;
    // Byte offset of a track's first sector in this image.
    virtual uint32_t TrackStart(int Track);
    // The image kind a file of this size holds; raises for sizes of no kind.
    virtual TDiskType TypeOfSize(uint64_t Size);
    // Whether a track's free count belongs to the disk's free blocks.
    virtual bool CountsFree(int Track) { return Track != FDirTrack && Track <= GetTrackCount(); }

    // Where the header keeps the disk name; ID and DOS type follow it as on the 1541.
    int FNameOffset = 144;
    // The DOS version byte of a disk that is not soft write protected.
    uint8_t FDosVersion = 0x41;

  private:
    void FlushEntry(const uint8_t* Entry);
};
