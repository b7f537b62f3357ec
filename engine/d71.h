// TD71: the 1571 image, two sides of 35 tracks, with or without error information.
#pragma once

#include "d64.h"

class TD71 : public TD64 {
  public:
    // Opens an existing image file.
    TD71(const std::string& FileName, TDosEmulation DosEmulation);
    // Formats a new double-sided image in memory, as the 1571 does; nothing is written
    // until the first flush.
    TD71(const std::string& FileName, TDosEmulation DosEmulation, TDiskType DiskType);

    // Whether the header's flag says double-sided. A disk whose flag says single-sided
    // is a 1541 disk to the 1571: only its first side is used.
    bool DoubleSided();

    TTrackSector FindFirstFreeSector() override;
    TTrackSector FindNextFreeSector(TTrackSector ts, bool Wrapped) override;
    int GetFreeBlocksLimit() override;
    int GetTrackFreeSectors(int Track) override;
    int GetDataBlockCount() override;
    int GetSectorsPerTrack(int Track) override;
    int GetTotalSectors() override;
    int GetTrackCount() override;
    bool CheckTrackSector(TTrackSector ts) override;
    TBamTrack BamTrack(int Track) override;
    void FlushTrack(int Track) override;
    // Track 53 whole on a double-sided disk.
    std::vector<TTrackSector> ReservedSectors() override;

    // Whether side two's free counts lie on 53/0 (bytes $DD-$FF) and none in the header, as
    // cc1541 writes a 1571 disk. The 1571 keeps them in the header (18/0 bytes $DD-$FF) and
    // leaves 53/0 past the bitmaps empty.
    bool CountsOnBamTrack2();
    // Side two's free count of a track in that place.
    uint8_t* CountOnBamTrack2(int Track);
    // Empties that place, as the 1571 leaves it.
    void ClearCountsOnBamTrack2();

    // The track holding the second side's BAM.
    static constexpr int BamTrack2 = 53;

  protected:
    uint32_t TrackStart(int Track) override;
    TDiskType TypeOfSize(uint64_t Size) override;
    bool CountsFree(int Track) override;
};
