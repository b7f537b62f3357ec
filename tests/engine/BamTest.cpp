// Block availability map: queries, changes, counters, DOS variants and the allocation searches.
#include "TestImage.h"

using namespace testing_support;

namespace {

class BamTest : public ::testing::Test {
  protected:
    void FillTrack(TC64Disk& Disk, int Track) {
        for (int s = 0; s < Disk.GetSectorsPerTrack(Track); ++s) Disk.SetSectorUsed(MakeTrackSector(Track, s), true);
    }
    std::vector<TTrackSector> Chain(TC64Disk& Disk, uint8_t* Entry) {
        std::vector<TTrackSector> Sectors;
        TTrackSector ts = MakeTrackSector(Entry[3], Entry[4]);
        while (TrackOf(ts) != 0) {
            Sectors.push_back(ts);
            ts = ReadTrackSector(Disk.GetSector(ts));
        }
        return Sectors;
    }
    TTempDir Dir;
};

TEST_F(BamTest, FreshImagesHaveOnlyHeaderAndDirectoryUsed) {
    auto Disk35 = NewImage(Dir.Path("a.d64"));
    auto Disk40 = NewImage(Dir.Path("b.d64"), dt40Tracks, deDolphinDos);
    EXPECT_EQ(Disk35->GetFreeBlocks(), 664);
    EXPECT_EQ(Disk40->GetFreeBlocks(), 749);
    EXPECT_EQ(Disk35->GetDataBlockCount(), 664);
    EXPECT_EQ(Disk40->GetFreeBlocksLimit(), 9945);
    EXPECT_EQ(Disk35->GetFreeBlocksLimit(), 8670);
    for (auto* Disk : {Disk35.get(), Disk40.get()}) {
        int Used = 0;
        for (int t = 1; t <= Disk->GetTrackCount(); ++t)
            for (int s = 0; s < Disk->GetSectorsPerTrack(t); ++s)
                if (Disk->IsSectorUsed(MakeTrackSector(t, s))) {
                    ++Used;
                    EXPECT_EQ(t, 18);
                    EXPECT_LE(s, 1);
                }
        EXPECT_EQ(Used, 2);
    }
    EXPECT_THROW_MSG(Disk35->IsSectorUsed(MakeTrackSector(36, 0)), EC64DiskException,
                     "Illegal Track/Sector value T:36/S:0");
}

TEST_F(BamTest, FirstFreeSectorSearchesOutwardFromTheDirectory) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    EXPECT_EQ(Disk->FindFirstFreeSector(), MakeTrackSector(17, 0));
    FillTrack(*Disk, 17);
    EXPECT_EQ(Disk->FindFirstFreeSector(), MakeTrackSector(19, 0));
    FillTrack(*Disk, 19);
    EXPECT_EQ(Disk->FindFirstFreeSector(), MakeTrackSector(16, 0));

    auto Disk40 = NewImage(Dir.Path("b.d64"), dt40Tracks, deSpeedDos);
    Disk40->BeginUpdate();
    for (int t = 1; t <= 35; ++t)
        if (t != 18) FillTrack(*Disk40, t);
    EXPECT_EQ(Disk40->FindFirstFreeSector(), MakeTrackSector(36, 0));
    for (int t = 36; t <= 40; ++t) FillTrack(*Disk40, t);
    // Track 18 still has free sectors, but they are never file data.
    EXPECT_THROW_MSG(Disk40->FindFirstFreeSector(), EC64DiskFullException, "Disk is full!");
    EXPECT_EQ(Disk40->GetFreeBlocks(), 0);
}

TEST_F(BamTest, NextFreeSectorUsesTheInterleave) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    EXPECT_EQ(Disk->FindNextFreeSector(MakeTrackSector(17, 0), false), MakeTrackSector(17, 10));
    EXPECT_EQ(Disk->FindNextFreeSector(MakeTrackSector(17, 20), false), MakeTrackSector(17, 9));

    // A file of seven blocks on a fresh disk.
    uint8_t* Entry = AddTestFile(*Disk, "SEVEN", Pattern(7 * 254));
    EXPECT_EQ(Chain(*Disk, Entry),
              (std::vector<TTrackSector>{MakeTrackSector(17, 0), MakeTrackSector(17, 10), MakeTrackSector(17, 20),
                                         MakeTrackSector(17, 9), MakeTrackSector(17, 19), MakeTrackSector(17, 8),
                                         MakeTrackSector(17, 18)}));
}

TEST_F(BamTest, NextFreeSectorMovesAwayFromTheDirectoryThenWraps) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    Disk->BeginUpdate();
    for (int t = 2; t <= 17; ++t) FillTrack(*Disk, t);
    for (int s = 0; s < 20; ++s) Disk->SetSectorUsed(MakeTrackSector(1, s), true);
    // 1/20 is the last free sector of the lower half: from it the search goes on at track 19.
    EXPECT_EQ(TrackOf(Disk->FindNextFreeSector(MakeTrackSector(1, 20), false)), 19);
    for (int t = 19; t <= 35; ++t) FillTrack(*Disk, t);
    EXPECT_THROW_MSG(Disk->FindNextFreeSector(MakeTrackSector(1, 20), false), EC64DiskFullException,
                     "Disk is full!");

    auto Disk40 = NewImage(Dir.Path("b.d64"), dt40Tracks, deDolphinDos);
    Disk40->BeginUpdate();
    for (int t = 19; t <= 35; ++t) FillTrack(*Disk40, t);
    // Tracks 36-40 come from the extended BAM at byte 172 for DolphinDOS.
    EXPECT_EQ(TrackOf(Disk40->FindNextFreeSector(MakeTrackSector(35, 0), false)), 36);
    Disk40->SetSectorUsed(MakeTrackSector(36, 3), true);
    EXPECT_EQ(Disk40->GetBamSector()[172], 16);
    EXPECT_EQ(Disk40->GetBamSector()[172 + 1], 0xF7);
}

TEST_F(BamTest, SetSectorUsedKeepsBitAndCounterInStepAndAlwaysFlushes) {
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);
    Disk->SetSectorUsed(MakeTrackSector(1, 9), true);
    EXPECT_TRUE(Disk->IsSectorUsed(MakeTrackSector(1, 9)));
    EXPECT_EQ(Disk->GetTrackFreeSectors(1), 20);
    EXPECT_EQ(Disk->GetBamSector()[4 + 2], 0xFD);
    EXPECT_EQ(ReadHostFile(Path)[91392 + 4], 20);

    // Marking it used again changes nothing in the BAM, but still writes the directory track.
    Disk->GetBamSector()[144] = 'Z';
    Disk->SetSectorUsed(MakeTrackSector(1, 9), true);
    EXPECT_EQ(Disk->GetTrackFreeSectors(1), 20);
    EXPECT_EQ(ReadHostFile(Path)[91392 + 144], 'Z');

    Disk->SetSectorUsed(MakeTrackSector(1, 9), false);
    EXPECT_EQ(Disk->GetTrackFreeSectors(1), 21);
    EXPECT_EQ(Disk->GetBamSector()[4 + 2], 0xFF);
}

TEST_F(BamTest, CountersNeverWrap) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    Disk->SetFreeBlocks(0);
    Disk->SetSectorUsed(MakeTrackSector(1, 0), true);
    EXPECT_TRUE(Disk->IsSectorUsed(MakeTrackSector(1, 0)));
    EXPECT_EQ(Disk->GetTrackFreeSectors(1), 0);

    Disk->SetFreeBlocks(8670);
    Disk->SetSectorUsed(MakeTrackSector(1, 0), false);
    EXPECT_FALSE(Disk->IsSectorUsed(MakeTrackSector(1, 0)));
    EXPECT_EQ(Disk->GetTrackFreeSectors(1), 255);
}

TEST_F(BamTest, SetFreeBlocksOverwritesCountersOnly) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    const ByteArray Before(Disk->GetBamSector(), Disk->GetBamSector() + 256);
    Disk->SetFreeBlocks(664);
    EXPECT_EQ(Disk->GetTrackFreeSectors(1), 255);
    EXPECT_EQ(Disk->GetTrackFreeSectors(2), 255);
    EXPECT_EQ(Disk->GetTrackFreeSectors(3), 154);
    EXPECT_EQ(Disk->GetTrackFreeSectors(4), 0);
    EXPECT_EQ(Disk->GetTrackFreeSectors(18), 17);
    EXPECT_EQ(Disk->GetFreeBlocks(), 664);

    Disk->SetFreeBlocks(8670);
    for (int t = 1; t <= 35; ++t) {
        if (t != 18) {
            EXPECT_EQ(Disk->GetTrackFreeSectors(t), 255) << t;
        }
    }
    const uint8_t* Bam = Disk->GetBamSector();
    for (int t = 1; t <= 35; ++t)
        for (int b = 1; b < 4; ++b) EXPECT_EQ(Bam[4 * t + b], Before[static_cast<size_t>(4 * t + b)]);
}

TEST_F(BamTest, DosEmulationChoosesWhereTracks36To40Live) {
    auto Disk = NewImage(Dir.Path("b.d64"), dt40Tracks, deSpeedDos);
    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());
    Disk->SetDosEmulation(deDolphinDos);
    EXPECT_EQ(Disk->GetFreeBlocks(), 664); // bytes 172-191 are zero on a SpeedDOS disk
    EXPECT_EQ(ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()), Before);
    EXPECT_THROW_MSG(Disk->SetDosEmulation(deCbmDos), EC64DiskException,
                     "CBM-Dos V2.6 doesn't support 40 Track disks!");
    EXPECT_THROW_MSG(Disk->SetDosEmulation(dePrologicDos), EC64DiskException, "Prologic-Dos not supported!");
    EXPECT_EQ(Disk->DosEmulation(), deDolphinDos);
    Disk->SetDosEmulation(deSpeedDos);
    EXPECT_EQ(Disk->GetFreeBlocks(), 749);

    auto Disk35 = NewImage(Dir.Path("a.d64"));
    Disk35->SetDosEmulation(deSpeedDos);
    EXPECT_EQ(Disk35->GetFreeBlocks(), 664);
}

} // namespace
