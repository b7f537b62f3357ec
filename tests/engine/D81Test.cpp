// 1581 images: allocation, the two BAM sectors, the growing directory, validate and
// repair, partitions (copied whole to their own sectors), and what a D81 refuses.
#include "TestImage.h"
#include "Validate.h"

using namespace testing_support;

namespace {

uint32_t D81Offset(int Track, int Sector) {
    return 256u * static_cast<uint32_t>(40 * (Track - 1) + Sector);
}

class D81Test : public ::testing::Test {
  protected:
    TTempDir Dir;
};

TEST_F(D81Test, FilesGoOutwardFromTrack40AndTheDirectoryGrowsBySectors) {
    const std::string Path = Dir.Path("new.d81");
    auto Disk = NewImage(Path, dtD81);
    EXPECT_EQ(Disk->GetFreeBlocks(), 3160);
    EXPECT_EQ(Disk->GetHeaderLine(), "0 \"KOBALTMANDREXIS \" 01 3D");
    // 41 sectors: track 39 whole, then one on track 38.
    const ByteArray Big = Pattern(254 * 40 + 10);
    uint8_t* Entry = AddTestFile(*Disk, "BIG", Big);
    ASSERT_TRUE(Entry);
    EXPECT_EQ(Entry[3], 39);
    EXPECT_EQ(Entry[4], 0);
    for (int i = 1; i <= 8; ++i)
        AddTestFile(*Disk, "F" + std::to_string(i), Pattern(10, i));
    EXPECT_EQ(Disk->GetFreeBlocks(), 3160 - 41 - 8); // the ninth entry took 40/4, not counted

    auto Again = TC64Disk::OpenDiskImage(Path, deCbmDos);
    ASSERT_TRUE(Again);
    EXPECT_EQ(Again->LoadFile(FindEntry(*Again, "BIG")), Big);
    EXPECT_EQ(Again->LoadFile(FindEntry(*Again, "F8")), Pattern(10, 8));
    const ByteArray File = ReadHostFile(Path);
    // Track 39 full in the first BAM sector, 40/3 links to 40/4; the small files went one
    // track out on the other side, to 41/0-7.
    const uint8_t* Bam1 = File.data() + D81Offset(40, 1);
    EXPECT_EQ(ByteArray(Bam1 + 16 + 6 * 38, Bam1 + 16 + 6 * 40),
              (ByteArray{0, 0, 0, 0, 0, 0, 35, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(File[D81Offset(40, 3)], 40);
    EXPECT_EQ(File[D81Offset(40, 3) + 1], 4);
    EXPECT_EQ(ByteArray(File.begin() + D81Offset(40, 2) + 16, File.begin() + D81Offset(40, 2) + 22),
              (ByteArray{32, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(Validate(*Again).Findings.empty());
}

TEST_F(D81Test, RepairRebuildsBothBamSectors) {
    const std::string Path = Dir.Path("v.d81");
    auto Disk = NewImage(Path, dtD81);
    AddTestFile(*Disk, "ONE", Pattern(3000));
    const ByteArray Good = ReadHostFile(Path);
    // Track 39 called all free, track 41 called full.
    ByteArray Damaged = Good;
    for (uint32_t i = 0; i < 6; ++i) {
        Damaged[D81Offset(40, 1) + 16 + 6 * 38 + i] = i == 0 ? 40 : 0xFF;
        Damaged[D81Offset(40, 2) + 16 + i] = 0;
    }
    WriteHostFile(Path, Damaged);
    auto Opened = TC64Disk::OpenDiskImage(Path, deCbmDos);
    const TValidation Found = Validate(*Opened);
    EXPECT_EQ(Found.Findings.size(), 12u + 40u); // 12 in use called free, 40 taken by nothing
    Repair(*Opened);
    EXPECT_EQ(ReadHostFile(Path), Good);
}

TEST_F(D81Test, PartitionIsOneRunListedExportedCopiedAndScratchedWhole) {
    const std::string Path = Dir.Path("p.d81");
    auto Disk = NewImage(Path, dtD81);
    AddTestFile(*Disk, "PLAIN", Pattern(300));
    // A partition of tracks 41 and 42, as the 1581's "/" command makes it.
    ByteArray Image = ReadHostFile(Path);
    uint8_t* Slot = Image.data() + D81Offset(40, 3) + 32;
    Slot[2] = 0x85;
    Slot[3] = 41;
    Slot[4] = 0;
    StringToPetscii("PART", Slot + 5, 15);
    Slot[30] = 80;
    for (uint32_t t = 0; t < 2; ++t)
        for (uint32_t i = 0; i < 6; ++i)
            Image[D81Offset(40, 2) + 16 + 6 * t + i] = 0;
    Image[D81Offset(41, 0)] = 99; // a link of no meaning: a run is no chain
    WriteHostFile(Path, Image);

    auto Opened = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_TRUE(Validate(*Opened).Findings.empty());
    uint8_t* Part = FindEntry(*Opened, "PART");
    ASSERT_TRUE(Part);
    const ByteArray Bytes = Opened->LoadFile(Part);
    EXPECT_EQ(ByteArray(Bytes.begin(), Bytes.begin() + 256),
              ByteArray(Image.begin() + D81Offset(41, 0), Image.begin() + D81Offset(41, 1)));
    EXPECT_EQ(Bytes.size(), 80u * 256u);
    // A new file does not land in it.
    AddTestFile(*Opened, "NEXT", Pattern(254 * 41 + 1));
    EXPECT_TRUE(Validate(*Opened).Findings.empty());

    auto D64 = NewImage(Dir.Path("x.d64"));
    EXPECT_THROW_MSG(D64->CopyFileFrom(FindEntry(*Opened, "PART"), *Opened), EC64DiskException,
                     "CBM partitions can only be copied to a D81 disk!");
    // Onto another D81: to the same sectors, whole; refused where one of them is taken.
    auto Copy = NewImage(Dir.Path("copy.d81"), dtD81);
    Copy->CopyFileFrom(FindEntry(*Opened, "PART"), *Opened);
    uint8_t* Copied = FindEntry(*Copy, "PART");
    ASSERT_TRUE(Copied);
    EXPECT_EQ(ByteArray(Copied + 2, Copied + 32), ByteArray(Slot + 2, Slot + 32));
    EXPECT_EQ(Copy->LoadFile(Copied), Bytes);
    EXPECT_EQ(Copy->GetFreeBlocks(), 3160 - 80);
    EXPECT_TRUE(Validate(*Copy).Findings.empty());
    // One that reaches into track 40 (the BAM, the directory) is neither read nor scratched.
    Copied[3] = 39;
    const std::string Covers =
        "Partition \"PART\" covers track 40 or leaves the disk!\r\nValidate the disk and try it again.";
    EXPECT_THROW_MSG(Copy->LoadFile(Copied), EC64DiskException, Covers);
    EXPECT_THROW_MSG(Copy->ScratchFiles({Copied}, false), EC64DiskException, Covers);
    Copied[3] = 41;
    auto Taken = NewImage(Dir.Path("taken.d81"), dtD81);
    Taken->SetSectorUsed(MakeTrackSector(42, 39), true);
    const ByteArray Before = ReadHostFile(Dir.Path("taken.d81"));
    EXPECT_THROW_MSG(Taken->CopyFileFrom(FindEntry(*Opened, "PART"), *Opened), EC64DiskFullException,
                     "No room for the partition: T:42/S:39 is in use!");
    EXPECT_EQ(ReadHostFile(Dir.Path("taken.d81")), Before);
    const int Free = Opened->GetFreeBlocks();
    Opened->ScratchFiles({FindEntry(*Opened, "PART")}, false);
    EXPECT_EQ(Opened->GetFreeBlocks(), Free + 80);
    EXPECT_FALSE(FindEntry(*Opened, "PART"));
    EXPECT_TRUE(Validate(*Opened).Findings.empty());
}

TEST_F(D81Test, RelFilesAreRefusedWithTheImageUnchanged) {
    const std::string Path = Dir.Path("r.d81");
    auto Disk = NewImage(Path, dtD81);
    const ByteArray Before = ReadHostFile(Path);
    EXPECT_THROW_MSG(AddTestFile(*Disk, "REL", Pattern(500), 0x84), EC64DiskException,
                     "REL files can't be written to a D81 disk!");
    EXPECT_EQ(ReadHostFile(Path), Before);
    EXPECT_EQ(Disk->GetFreeBlocks(), 3160);
}

} // namespace
