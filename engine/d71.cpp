// TD71: geometry, BAM and allocation of 1571 images. Side one is a 1541 disk; side two
// repeats its geometry on tracks 36-70, its free counts in the header (bytes $DD-$FF)
// and its bitmaps on track 53, which the 1571 keeps whole for them.
#include "d71.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr int SideTracks = 35;
constexpr uint32_t SideBytes = 174848;
constexpr int FreeCounts2 = 0xDD; // header offset of track 36's free count

// The tracks a first block is searched on: outward from the directory's cylinder, each
// distance below and above the directory track on side one, then on side two. Neither
// the directory track nor track 53 holds files.
const std::array<int, 68>& SearchOrder() {
    static const std::array<int, 68> Order = [] {
        std::array<int, 68> Tracks{};
        size_t n = 0;
        for (int d = 1; d <= 17; ++d)
            for (int t : {18 - d, 18 + d, TD71::BamTrack2 - d, TD71::BamTrack2 + d})
                if ((t >= 1 && t <= 35) || (t >= 36 && t <= 70)) Tracks[n++] = t;
        return Tracks;
    }();
    return Order;
}

// The next track outward from the directory's cylinder on the same side, 0 past the edge.
int NextOutward(int Track) {
    const int Centre = Track <= SideTracks ? 18 : TD71::BamTrack2;
    const int First = Track <= SideTracks ? 1 : SideTracks + 1;
    const int Last = First + SideTracks - 1;
    const int Next = Track < Centre ? Track - 1 : Track + 1;
    return Next >= First && Next <= Last ? Next : 0;
}

} // namespace

TD71::TD71(const std::string& Name, TDosEmulation Emulation) {
    FDirTrack = 18;
    FInterleave = 6;
    InitGeneral(Emulation);
    if (Name.empty()) throw EC64DiskException("No Filename specified!");
    LoadFromFile(Name);
}

TD71::TD71(const std::string& Name, TDosEmulation Emulation, TDiskType Type) : TD64(Name, Emulation, Type) {
    if (Type != dt71 && Type != dt71ErrorInfo)
        throw EC64DiskException("Invalid Disktype!\r\nCan't create Disk!");
    FInterleave = 6;
    uint8_t* Header = GetBamSector();
    Header[3] = 0x80;
    // Side two all free but track 53, which the BAM sector takes whole.
    uint8_t* Bitmaps = GetSector(MakeTrackSector(BamTrack2, 0));
    for (int t = SideTracks + 1; t <= 2 * SideTracks; ++t) {
        const int Sectors = t == BamTrack2 ? 0 : GetSectorsPerTrack(t);
        Header[FreeCounts2 + t - SideTracks - 1] = static_cast<uint8_t>(Sectors);
        for (int s = 0; s < Sectors; ++s)
            Bitmaps[3 * (t - SideTracks - 1) + s / 8] |= static_cast<uint8_t>(1u << (s % 8));
    }
}

bool TD71::DoubleSided() {
    // Read straight from the image: the geometry checks themselves ask this.
    return FImage && (FImage[TrackOffset(FDirTrack) + 3] & 0x80) != 0;
}

void TD71::FlushTrack(int Track) {
    TD64::FlushTrack(Track);
    // The BAM of side two changes with the header.
    if (Track == FDirTrack && DoubleSided()) TD64::FlushTrack(BamTrack2);
}

TDiskType TD71::TypeOfSize(uint64_t Size) {
    if (Size == 349696) return dt71;
    if (Size == 351062) return dt71ErrorInfo;
    throw EC64DiskException("Format unsupported!");
}

uint32_t TD71::TrackStart(int Track) {
    return Track > SideTracks ? SideBytes + TrackOffset(Track - SideTracks) : TrackOffset(Track);
}

int TD71::GetSectorsPerTrack(int Track) {
    if (Track < 1 || Track > 2 * SideTracks) return 0;
    return TD64::GetSectorsPerTrack(Track > SideTracks ? Track - SideTracks : Track);
}

int TD71::GetTrackCount() {
    return DoubleSided() ? 2 * SideTracks : SideTracks;
}

int TD71::GetTotalSectors() {
    return DoubleSided() ? 1366 : 683;
}

int TD71::GetDataBlockCount() {
    return DoubleSided() ? 1328 : 664;
}

int TD71::GetFreeBlocksLimit() {
    return DoubleSided() ? 68 * 255 : 34 * 255;
}

bool TD71::CheckTrackSector(TTrackSector ts) {
    const int t = TrackOf(ts);
    const int s = SectorOf(ts);
    // The header sector itself is reachable whatever its flag says.
    if ((t >= 1 && t <= GetTrackCount() && s < GetSectorsPerTrack(t)) || (t == FDirTrack && s == 0))
        return true;
    char Text[64];
    std::snprintf(Text, sizeof Text, "Illegal Track/Sector value T:%d/S:%d", t, s);
    throw EC64DiskException(Text);
}

TC64Disk::TBamTrack TD71::BamTrack(int Track) {
    if (Track <= SideTracks) return TC64Disk::BamTrack(Track);
    // Side two's bitmaps lie on track 53 whatever the flag says, so that a single-sided
    // disk keeps them (the header's flag alone decides what is used).
    uint8_t* Header = FImage.get() + TrackStart(FDirTrack);
    uint8_t* Bitmaps = FImage.get() + TrackStart(BamTrack2);
    return {Header + FreeCounts2 + (Track - SideTracks - 1), Bitmaps + 3 * (Track - SideTracks - 1)};
}

bool TD71::CountsOnBamTrack2() {
    if (!FImage || !DoubleSided()) return false;
    const uint8_t* Header = FImage.get() + TrackStart(FDirTrack) + FreeCounts2;
    const uint8_t* Elsewhere = CountOnBamTrack2(SideTracks + 1);
    const auto Zero = [](uint8_t b) { return b == 0; };
    return std::all_of(Header, Header + SideTracks, Zero) &&
           !std::all_of(Elsewhere, Elsewhere + SideTracks, Zero);
}

uint8_t* TD71::CountOnBamTrack2(int Track) {
    return FImage.get() + TrackStart(BamTrack2) + FreeCounts2 + (Track - SideTracks - 1);
}

void TD71::ClearCountsOnBamTrack2() {
    std::fill_n(CountOnBamTrack2(SideTracks + 1), SideTracks, 0);
}

int TD71::GetTrackFreeSectors(int Track) {
    if (!FImage || Track < 1 || Track > GetTrackCount()) return 0;
    return *BamTrack(Track).Count;
}

std::vector<TTrackSector> TD71::ReservedSectors() {
    std::vector<TTrackSector> Sectors;
    if (DoubleSided())
        for (int s = 0; s < GetSectorsPerTrack(BamTrack2); ++s)
            Sectors.push_back(MakeTrackSector(BamTrack2, s));
    return Sectors;
}

bool TD71::CountsFree(int Track) {
    return Track != FDirTrack && Track != BamTrack2 && Track <= GetTrackCount();
}

TTrackSector TD71::FindFirstFreeSector() {
    if (!DoubleSided()) return TD64::FindFirstFreeSector();
    for (int t : SearchOrder()) {
        if (GetTrackFreeSectors(t) <= 0) continue;
        for (int s = 0; s < GetSectorsPerTrack(t); ++s)
            if (!IsSectorUsed(MakeTrackSector(t, s))) return MakeTrackSector(t, s);
    }
    throw EC64DiskFullException("Disk is full!");
}

TTrackSector TD71::FindNextFreeSector(TTrackSector ts, bool Wrapped) {
    if (!DoubleSided()) return TD64::FindNextFreeSector(ts, Wrapped);
    // The current track first, at the interleave; then outward on the same side; past
    // its edge, the tracks in the first block's order. Each track is searched once.
    std::array<bool, 71> Searched{};
    int t = TrackOf(ts);
    int s = SectorOf(ts);
    TTrackSector Given = ts;
    size_t Order = 0;
    while (t != 0) {
        Searched[static_cast<size_t>(t)] = true;
        if (const TTrackSector Found = FreeSectorAfter(t, s, Given)) return Found;
        int Next = t == FDirTrack ? 0 : NextOutward(t);
        if (Searched[static_cast<size_t>(Next)]) Next = 0;
        while (Next == 0 && Order < SearchOrder().size()) {
            const int Candidate = SearchOrder()[Order++];
            if (!Searched[static_cast<size_t>(Candidate)]) Next = Candidate;
        }
        t = Next;
        Given = MakeTrackSector(t, s);
    }
    throw EC64DiskFullException("Disk is full!");
}
