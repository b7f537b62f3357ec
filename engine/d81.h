// TD81: the 1581 image, 80 tracks of 40 sectors, with or without error information.
#pragma once

#include "d64.h"

// The 1581 keeps the 1541's directory entries and file chains; its geometry, header and
// BAM differ: header at 40/0, the BAM of tracks 1-40 at 40/1 and of 41-80 at 40/2, six
// bytes a track, the directory from 40/3.
class TD81 : public TD64 {
  public:
    // Opens an existing image file.
    TD81(const std::string& FileName, TDosEmulation DosEmulation);
    // Formats a new image in memory as the 1581 does; nothing is written until the first flush.
    TD81(const std::string& FileName, TDosEmulation DosEmulation, TDiskType DiskType);

    int GetFreeBlocksLimit() override;
    int GetTrackFreeSectors(int Track) override;
    int GetDataBlockCount() override;
    int GetSectorsPerTrack(int Track) override;
    int GetTotalSectors() override;
    int GetTrackCount() override;
    void SetDiskID(const PetsciiString& ID) override;
    bool CheckTrackSector(TTrackSector ts) override;
    uint8_t* BamEntry(int Track) override;
    std::vector<TTrackSector> SystemSectors() override;
    // A partition (type CBM) is its run of sectors: listed, exported and scratched whole.
    std::vector<TTrackSector> RunOf(const uint8_t* Entry) override;
    void ScratchFiles(const std::vector<uint8_t*>& Entries, bool Wipe) override;
    ByteArray LoadFile(uint8_t* Entry) override;
    int GetRealFileSize(uint8_t* Entry) override;
    // A partition goes to the very sectors it holds on its source: the only place where a
    // sub-directory's own header, BAM and links, which name tracks, stay right.
    void CopyFileFrom(uint8_t* SourceEntry, TC64Disk& Source) override;

  protected:
    TTrackSector FirstDirSector() override;
    void CheckCanAdd(const uint8_t* SourceEntry) override;
    uint32_t TrackStart(int Track) override;
    TDiskType TypeOfSize(uint64_t Size) override;

  private:
    void InitGeometry();
    // The run of a partition that can be read, scratched or copied: whole on the disk and
    // clear of track 40. Raises for one that is not.
    std::vector<TTrackSector> SoundRun(const uint8_t* Entry, std::vector<TTrackSector> Run);
};
