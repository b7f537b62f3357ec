// 1571 images: the two-sided BAM, allocation across both sides, the single-sided flag,
// and validate's repair of side two, cc1541's layout of it included.
#include "d71.h"
#include "TestImage.h"
#include "Validate.h"

#include <algorithm>

using namespace testing_support;

namespace {

constexpr uint32_t Side2 = 174848;

class D71Test : public ::testing::Test {
  protected:
    TTempDir Dir;
    std::string Path = Dir.Path("disk.d71");
};

TEST_F(D71Test, NewDiskHasBothSidesInItsBam) {
    auto Disk = NewImage(Path, dt71ErrorInfo);
    EXPECT_EQ(ReadHostFile(Path).size(), 351062u);
    auto Read = TC64Disk::OpenDiskImage(Path, deCbmDos);
    ASSERT_TRUE(Read);
    EXPECT_EQ(Read->GetTrackCount(), 70);
    EXPECT_EQ(Read->GetFreeBlocks(), 1328);
    const uint8_t* Header = Read->Image() + Offset(18, 0);
    const uint8_t* Bitmaps = Read->Image() + Side2 + Offset(18, 0);
    EXPECT_EQ(Header[3], 0x80);
    EXPECT_EQ(Header[0xDD], 21);      // track 36
    EXPECT_EQ(Header[0xDD + 17], 0);  // track 53, kept whole for the BAM
    EXPECT_EQ(Header[0xDD + 18], 19); // track 54
    EXPECT_EQ(Header[0xFF], 17);      // track 70
    EXPECT_EQ(ByteArray(Bitmaps, Bitmaps + 6), (ByteArray{0xFF, 0xFF, 0x1F, 0xFF, 0xFF, 0x1F}));
    EXPECT_EQ(ByteArray(Bitmaps + 51, Bitmaps + 54), (ByteArray{0, 0, 0}));
    EXPECT_TRUE(Validate(*Read).Findings.empty());
}

TEST_F(D71Test, FilesFillBothSidesAndComeBackWhole) {
    auto Disk = NewImage(Path, dt71);
    // Side one holds 664 blocks; this file needs 700.
    const ByteArray Big = Pattern(700 * 254);
    AddTestFile(*Disk, "BIG", Big);
    EXPECT_EQ(Disk->GetFreeBlocks(), 1328 - 700);
    uint8_t* Entry = FindEntry(*Disk, "BIG");
    EXPECT_EQ(Entry[3], 17); // first block beside the directory
    EXPECT_EQ(Entry[4], 0);
    auto Read = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_EQ(Read->LoadFile(FindEntry(*Read, "BIG")), Big);
    EXPECT_TRUE(Validate(*Read).Findings.empty());
    // The second sector follows at the 1571's interleave.
    EXPECT_EQ(Read->GetSector(MakeTrackSector(17, 0))[1], 6);
    // Track 53 is never taken, and a full disk says so.
    for (int s = 0; s < 19; ++s)
        EXPECT_TRUE(Read->IsSectorUsed(MakeTrackSector(53, s)));
    EXPECT_THROW(AddTestFile(*Read, "MORE", Pattern(629 * 254)), EC64DiskFullException);
    AddTestFile(*Read, "REST", Pattern(628 * 254));
    EXPECT_EQ(Read->GetFreeBlocks(), 0);
    Read->ScratchFiles({FindEntry(*Read, "BIG"), FindEntry(*Read, "REST")}, false);
    auto Again = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_EQ(Again->GetFreeBlocks(), 1328);
    EXPECT_EQ(ByteArray(Again->Image(), Again->Image() + Offset(18, 0)),
              ByteArray(Disk->Image(), Disk->Image() + Offset(18, 0)));
}

TEST_F(D71Test, SideTwoBamChangesReachTheFileAndRepair) {
    auto Disk = NewImage(Path, dt71);
    Disk->SetSectorUsed(MakeTrackSector(60, 3), true);
    auto Read = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_TRUE(Read->IsSectorUsed(MakeTrackSector(60, 3)));
    EXPECT_EQ(Read->GetTrackFreeSectors(60), 17); // 18 sectors, as on track 25
    const TValidation Found = Validate(*Read);
    ASSERT_EQ(Found.Findings.size(), 1u);
    EXPECT_EQ(Found.Findings[0].Kind, TFindingKind::UnownedAllocated);
    Repair(*Read);
    auto Repaired = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_FALSE(Repaired->IsSectorUsed(MakeTrackSector(60, 3)));
    EXPECT_EQ(Repaired->GetFreeBlocks(), 1328);
}

TEST_F(D71Test, SingleSidedFlagLeavesSideTwoAlone) {
    {
        auto Disk = NewImage(Path, dt71);
        Disk->GetBamSector()[3] = 0;
        Disk->Save();
    }
    auto Disk = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_EQ(Disk->GetTrackCount(), 35);
    EXPECT_EQ(Disk->GetFreeBlocks(), 664);
    EXPECT_THROW(Disk->GetSector(MakeTrackSector(36, 0)), EC64DiskException);
    AddTestFile(*Disk, "BIG", Pattern(664 * 254));
    EXPECT_THROW(AddTestFile(*Disk, "MORE", Pattern(10)), EC64DiskFullException);
    EXPECT_TRUE(Validate(*Disk).Findings.empty());
    // The bytes of side two stay as they were.
    EXPECT_EQ(ReadHostFile(Path)[Side2 + Offset(18, 0)], 0xFF);
}

TEST_F(D71Test, Cc1541SideTwoLayoutIsOneFindingAndRepairsToThe1571s) {
    auto Disk = NewImage(Path, dt71);
    const ByteArray Fresh = ReadHostFile(Path);
    // Side two as cc1541 writes it: the counts on 53/0 from byte $DD, none in the header,
    // track 53 free but for 53/0. Besides, 60/3 allocated with no owner.
    uint8_t* Bitmaps = Disk->GetSector(MakeTrackSector(53, 0));
    std::swap_ranges(Disk->GetBamSector() + 0xDD, Disk->GetBamSector() + 0x100, Bitmaps + 0xDD);
    Bitmaps[0xDD + 17] = 18, Bitmaps[51] = 0xFE, Bitmaps[52] = 0xFF, Bitmaps[53] = 0x07;
    Bitmaps[3 * 24] &= 0xF7, Bitmaps[0xDD + 24] = 17;
    const TValidation Found = Validate(*Disk);
    ASSERT_EQ(Found.Findings.size(), 2u);
    EXPECT_EQ(Found.Findings[0].Kind, TFindingKind::SideTwoCounts);
    EXPECT_EQ(FindingPlace(Found.Findings[0]) + " " + FindingPlace(Found.Findings[1]), "53/0 60/3");
    Repair(*Disk);
    // Both BAM sectors as the 1571 formats them, and nothing left to find.
    const ByteArray Repaired = ReadHostFile(Path);
    for (uint32_t At : {Offset(18, 0), Side2 + Offset(18, 0)})
        EXPECT_EQ(ByteArray(Repaired.begin() + At, Repaired.begin() + At + 256),
                  ByteArray(Fresh.begin() + At, Fresh.begin() + At + 256));
    EXPECT_TRUE(Validate(*TC64Disk::OpenDiskImage(Path, deCbmDos)).Findings.empty());
}

} // namespace
