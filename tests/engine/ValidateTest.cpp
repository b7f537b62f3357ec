// Validate and Repair: each kind of damage found where it is, nothing changed before a
// repair, the repair's one save, and what it leaves as only reported.
#include "Validate.h"
#include "TestImage.h"

#include <algorithm>

using namespace testing_support;

namespace {

// A finding in one comparable string: file, sector, link, counts, the other file.
std::string Shown(const std::string& File, TTrackSector Where, TTrackSector Link = 0, int Stated = 0,
                  int Counted = 0, const std::string& Other = "") {
    return File + " " + std::to_string(Where) + ">" + std::to_string(Link) + " " + std::to_string(Stated) +
           ":" + std::to_string(Counted) + " " + Other;
}

// The first finding of a kind, shown, or "none".
std::string FirstOf(const TValidation& Result, TFindingKind Kind) {
    for (const TFinding& f : Result.Findings)
        if (f.Kind == Kind) return Shown(f.File, f.Where, f.Link, f.Stated, f.Counted, f.Other);
    return "none";
}

TTrackSector Second(TC64Disk& Disk, uint8_t* Entry) {
    return ReadTrackSector(Disk.GetSector(ReadTrackSector(Entry + 3)));
}

class ValidateTest : public ::testing::Test {
  protected:
    TTempDir Dir;
};

TEST_F(ValidateTest, FindsEachDamageChangesNothingAndRepairLeavesOnlyTheReports) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    uint8_t* A = AddTestFile(*Disk, "A", Pattern(600));
    uint8_t* B = AddTestFile(*Disk, "B", Pattern(300));
    uint8_t* C = AddTestFile(*Disk, "C", Pattern(600));
    uint8_t* F = AddTestFile(*Disk, "F", Pattern(10));
    // REL: four data sectors and a side sector, counted as the drive counts them.
    AddTestFile(*Disk, "R", Pattern(1000), 0x84)[30] = 5;
    uint8_t* U = AddTestFile(*Disk, "U", Pattern(10), 0x02);
    const TValidation Clean = Validate(*Disk); // but for U, unclosed, and its sector, unowned
    EXPECT_EQ(Clean.Findings.size(), 2u);
    EXPECT_EQ(FirstOf(Clean, TFindingKind::UnownedAllocated), Shown("", ReadTrackSector(U + 3)));

    const TTrackSector AFirst = ReadTrackSector(A + 3), ASecond = Second(*Disk, A);
    WriteTrackSector(Disk->GetSector(ASecond), AFirst);                                // A loops
    WriteTrackSector(Disk->GetSector(Second(*Disk, B)), AFirst);                       // B runs into A
    WriteTrackSector(Disk->GetSector(ReadTrackSector(F + 3)), MakeTrackSector(50, 0)); // off the disk
    C[30] = 9;                                                                         // C has 3 sectors
    Disk->SetSectorUsed(Second(*Disk, C), false);
    Disk->SetSectorUsed(MakeTrackSector(30, 5), true);
    Disk->BamEntry(3)[0] = 7;
    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());

    const TValidation Found = Validate(*Disk);
    EXPECT_TRUE(std::equal(Before.begin(), Before.end(), Disk->Image()));
    EXPECT_EQ(FirstOf(Found, TFindingKind::ChainLoops), Shown("A", ASecond, AFirst));
    EXPECT_EQ(FirstOf(Found, TFindingKind::CrossLinked), Shown("B", Second(*Disk, B), AFirst, 0, 0, "A"));
    EXPECT_EQ(FirstOf(Found, TFindingKind::IllegalLink),
              Shown("F", ReadTrackSector(F + 3), MakeTrackSector(50, 0)));
    EXPECT_EQ(FirstOf(Found, TFindingKind::WrongBlockCount), Shown("C", ReadTrackSector(C + 3), 0, 9, 3));
    EXPECT_EQ(FirstOf(Found, TFindingKind::FreeInUse), Shown("C", Second(*Disk, C)));
    EXPECT_EQ(FirstOf(Found, TFindingKind::WrongFreeCount), Shown("", MakeTrackSector(3, 0), 0, 7, 21));
    EXPECT_EQ(FirstOf(Found, TFindingKind::Unclosed), Shown("U", ReadTrackSector(U + 3)));
    // The unclosed file's sector, the one marked by hand and A's third, cut off by its loop.
    int Unowned = 0;
    for (const TFinding& f : Found.Findings)
        Unowned += f.Kind == TFindingKind::UnownedAllocated;
    EXPECT_EQ(Unowned, 3);

    EXPECT_EQ(Repair(*Disk).Findings.size(), Found.Findings.size());
    EXPECT_EQ(U[2], 0);
    EXPECT_EQ(ReadHostFile(Dir.Path("a.d64")), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));
    const TValidation After = Validate(*Disk);
    EXPECT_FALSE(After.NeedsRepair());
    EXPECT_EQ(After.Findings.size(), 4u); // loop, cross-link, illegal link, block count
    // 664 free less A, B, C (2 + 2 + 3 sectors traced), F and R's 5 data and side sectors.
    EXPECT_EQ(Disk->GetFreeBlocks(), 664 - 2 - 2 - 3 - 1 - 5);
}

TEST_F(ValidateTest, RebuildsTheExtendedBamWhereTheDosKeepsIt) {
    auto Disk = NewImage(Dir.Path("d.d64"), dt40Tracks, deDolphinDos);
    uint8_t* Track38 = Disk->BamEntry(38);
    Track38[1] &= 0xFE; // 38/0 allocated, no owner, count left at 17
    const TValidation Found = Validate(*Disk);
    ASSERT_EQ(Found.Findings.size(), 2u);
    EXPECT_EQ(Found.Findings[0].Where, MakeTrackSector(38, 0));
    EXPECT_EQ(Found.Findings[1].Kind, TFindingKind::WrongFreeCount);
    Repair(*Disk);
    EXPECT_EQ(Disk->GetBamSector() + 172 + 8, Track38);
    EXPECT_EQ(ByteArray(Track38, Track38 + 4), (ByteArray{17, 0xFF, 0xFF, 0x01}));
    EXPECT_TRUE(Validate(*Disk).Findings.empty());
}

TEST_F(ValidateTest, RefusesToRepairADirectoryItCannotReadOrAFileChangedSince) {
    auto Disk = NewImage(Dir.Path("e.d64"));
    AddTestFile(*Disk, "A", Pattern(300));
    Disk->SetSectorUsed(MakeTrackSector(5, 5), true);
    // Another program writes the file: the repair's save refuses, and memory is as before.
    auto Other = TC64Disk::OpenDiskImage(Dir.Path("e.d64"), deCbmDos);
    Other->SetDiskName("OTHER");
    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());
    EXPECT_THROW(Repair(*Disk), EC64DiskChangedException);
    EXPECT_TRUE(std::equal(Before.begin(), Before.end(), Disk->Image()));

    WriteTrackSector(Disk->GetSector(MakeTrackSector(18, 1)), MakeTrackSector(18, 1));
    const TValidation Found = Validate(*Disk);
    ASSERT_EQ(Found.Findings.size(), 1u);
    EXPECT_EQ(Found.Findings[0].Kind, TFindingKind::DirectoryChain);
    EXPECT_THROW(Repair(*Disk), EC64DiskException);
}

} // namespace
