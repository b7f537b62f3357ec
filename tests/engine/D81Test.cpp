// 1581 images: allocation, the two BAM sectors, the growing directory, validate and
// repair, partitions (copied whole to their own sectors), REL files with their super side
// sector.
#include "TestImage.h"
#include "Unscratch.h"
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
    // A list with the partition among plain files: as the single copies, on either kind
    // (the 1541 disk keeps the file before the refused partition).
    const std::vector<uint8_t*> List{FindEntry(*Opened, "PLAIN"), Part, FindEntry(*Opened, "NEXT")};
    for (TDiskType Type : {dtD81, dt35Tracks}) {
        auto OneByOne = NewImage(Dir.Path("one.img"), Type);
        auto AtOnce = NewImage(Dir.Path("all.img"), Type);
        const auto CopyEach = [&] {
            for (uint8_t* Entry : List)
                OneByOne->CopyFileFrom(Entry, *Opened);
        };
        if (Type == dtD81) {
            CopyEach();
            AtOnce->CopyFilesFrom(List, *Opened);
        } else {
            EXPECT_THROW(CopyEach(), EC64DiskException);
            EXPECT_THROW(AtOnce->CopyFilesFrom(List, *Opened), EC64DiskException);
        }
        EXPECT_EQ(ReadHostFile(Dir.Path("all.img")), ReadHostFile(Dir.Path("one.img"))) << Type;
        EXPECT_EQ(FindEntry(*AtOnce, "NEXT") != nullptr, Type == dtD81);
    }
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

TEST_F(D81Test, RelFilesHaveASuperSideSectorOverGroupsOfSixAndComeAndGoWhole) {
    const std::string Path = Dir.Path("r.d81");
    auto Disk = NewImage(Path, dtD81);
    // 725 data sectors: seven side sectors, six in the first group and one in the second.
    const ByteArray Bytes = Pattern(725 * 254 - 100);
    uint8_t Source[32] = {};
    Source[2] = 0x84;
    StringToPetscii("REL", Source + 5, 15);
    Source[23] = 100;
    // The count as a 1541 would state it (data and side sectors) becomes the 1581's.
    Source[30] = (725 + 7) & 0xFF;
    Source[31] = (725 + 7) >> 8;
    Disk->AddFile(Bytes, Source);
    uint8_t* Entry = FindEntry(*Disk, "REL");
    ASSERT_TRUE(Entry);
    EXPECT_EQ(Entry[30] | Entry[31] << 8, 725 + 7 + 1);
    EXPECT_EQ(Disk->GetFreeBlocks(), 3160 - 733);

    const uint8_t* Super = Disk->GetSector(ReadTrackSector(Entry + 21));
    std::vector<TTrackSector> Sides{ReadTrackSector(Super)};
    for (int k = 1; k < 7; ++k)
        Sides.push_back(ReadTrackSector(Disk->GetSector(Sides.back())));
    EXPECT_EQ(Super[2], 0xFE);
    EXPECT_EQ(ReadTrackSector(Super + 3), Sides[0]);
    EXPECT_EQ(ReadTrackSector(Super + 5), Sides[6]);
    EXPECT_EQ(ByteArray(Super + 7, Super + 256), ByteArray(249, 0));
    TTrackSector Data = ReadTrackSector(Entry + 3);
    for (int k = 0; k < 7; ++k) {
        const uint8_t* s = Disk->GetSector(Sides[static_cast<size_t>(k)]);
        EXPECT_EQ(s[2], k % 6) << k;
        EXPECT_EQ(s[3], 100) << k;
        // Each lists the side sectors of its own group.
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(ReadTrackSector(s + 4 + 2 * i), k < 6    ? Sides[static_cast<size_t>(i)]
                                                      : i == 0 ? Sides[6]
                                                               : 0)
                << k << " " << i;
        for (int j = 0; j < (k < 6 ? 120 : 5); ++j) {
            ASSERT_EQ(ReadTrackSector(s + 16 + 2 * j), Data) << k << " " << j;
            Data = ReadTrackSector(Disk->GetSector(Data));
        }
    }
    EXPECT_EQ(TrackOf(Data), 0);
    EXPECT_EQ(ReadTrackSector(Disk->GetSector(Sides[6])), MakeTrackSector(0, 15 + 2 * 5));

    // Read back from the file; the super side sector and every side sector are the file's.
    auto Opened = TC64Disk::OpenDiskImage(Path, deCbmDos);
    EXPECT_EQ(Opened->LoadFile(FindEntry(*Opened, "REL")), Bytes);
    EXPECT_TRUE(Validate(*Opened).Findings.empty());
    // Too large for the 1571 (six side sectors at most) and for the 1581 (3000 data blocks).
    auto D71 = NewImage(Dir.Path("r.d71"), dt71);
    const std::string TooLarge = "REL file too large: at most 720 data blocks on this disk!";
    EXPECT_THROW_MSG(D71->CopyFileFrom(FindEntry(*Opened, "REL"), *Opened), EC64DiskException, TooLarge);
    EXPECT_THROW_MSG(Opened->AddFile(Pattern(3001 * 254), Source), EC64DiskException,
                     "REL file too large: at most 3000 data blocks on this disk!");

    // Scratched, every block comes free; unscratched, all of them come back.
    Opened->ScratchFiles({FindEntry(*Opened, "REL")}, false);
    EXPECT_EQ(Opened->GetFreeBlocks(), 3160);
    EXPECT_TRUE(Validate(*Opened).Findings.empty());
    const std::vector<TScratchedFile> Scratched = FindScratchedFiles(*Opened);
    ASSERT_EQ(Scratched.size(), 1u);
    EXPECT_EQ(Scratched[0].Blocks, 733);
    UnscratchFiles(*Opened, {Scratched[0].Entry});
    EXPECT_EQ(Opened->GetFreeBlocks(), 3160 - 733);
    EXPECT_TRUE(Validate(*Opened).Findings.empty());

    // A smaller one onto a 1541 disk and back: side sectors and counts for each kind.
    auto Small = NewImage(Dir.Path("s.d81"), dtD81);
    Source[30] = 130 + 2;
    Source[31] = 0;
    Small->AddFile(Pattern(130 * 254), Source);
    EXPECT_EQ(FindEntry(*Small, "REL")[30], 130 + 2 + 1);
    auto D64 = NewImage(Dir.Path("s.d64"));
    D64->CopyFileFrom(FindEntry(*Small, "REL"), *Small);
    uint8_t* OnD64 = FindEntry(*D64, "REL");
    EXPECT_EQ(OnD64[30], 130 + 2);
    EXPECT_EQ(D64->GetSector(ReadTrackSector(OnD64 + 21))[2], 0); // a side sector, not a super one
    EXPECT_TRUE(Validate(*D64).Findings.empty());
    auto Back = NewImage(Dir.Path("back.d81"), dtD81);
    Back->CopyFileFrom(OnD64, *D64);
    EXPECT_EQ(ByteArray(Back->Image(), Back->Image() + Back->ImageSize()),
              ByteArray(Small->Image(), Small->Image() + Small->ImageSize()));
}

} // namespace
