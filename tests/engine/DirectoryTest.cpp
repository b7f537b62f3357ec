// The directory: listing, type bytes, text fields, header line, slots and growth.
#include "TestImage.h"

#include <cstring>

using namespace testing_support;

namespace {

struct Listed {
    std::string Name;
    TFileKind Kind;
    int Locked, Closed, Blocks;
};

std::vector<Listed> List(TC64Disk& Disk) {
    std::vector<Listed> Rows;
    Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) {
        Rows.push_back({R.Name, R.Kind, R.Locked, R.Closed, R.Blocks});
    });
    return Rows;
}

class DirectoryTest : public ::testing::Test {
  protected:
    uint8_t* Slot(TC64Disk& Disk, int Sector, int Index) {
        return Disk.GetSector(MakeTrackSector(18, Sector)) + 32 * Index;
    }
    TTempDir Dir;
};

TEST_F(DirectoryTest, FreshImageListsNothing) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    EXPECT_EQ(Disk->ReadDirectory(TFileKindSet::AllListed(), [](const TC64DirRecord&) { FAIL(); }), 0);
    EXPECT_EQ(Disk->GetHeaderLine(), "0 \"KOBALTMANDREXIS \" 01 2A");
    EXPECT_THROW_MSG(Disk->ReadDirectory(TFileKindSet::AllListed(), nullptr), EC64DiskException,
                     "Can't decode directory!");
}

TEST_F(DirectoryTest, TypeBytesDecodeToKindsAndFlags) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    const uint8_t Types[] = {0x82, 0xC2, 0x02, 0x80, 0x86, 0x85, 0x00, 0x84};
    for (int i = 0; i < 8; ++i) {
        uint8_t* e = Slot(*Disk, 1, i);
        e[2] = Types[i];
        StringToPetscii(std::string(1, static_cast<char>('A' + i)), e + 5, 15);
        e[30] = static_cast<uint8_t>(i);
        e[31] = i == 7 ? 1 : 0;
    }
    const auto Rows = List(*Disk);
    ASSERT_EQ(Rows.size(), 7u);
    EXPECT_EQ(Rows[0].Kind, fkPrg);
    EXPECT_EQ(Rows[0].Locked, 0);
    EXPECT_EQ(Rows[0].Closed, 1);
    EXPECT_EQ(Rows[1].Locked, 1);
    EXPECT_EQ(Rows[2].Closed, 0);
    EXPECT_EQ(Rows[3].Kind, fkDel);
    EXPECT_EQ(Rows[4].Kind, fkUnknown);
    EXPECT_EQ(Rows[5].Kind, fkOther);
    EXPECT_EQ(Rows[6].Name, "H"); // G, the empty slot, is not listed
    EXPECT_EQ(Rows[6].Kind, fkRel);
    EXPECT_EQ(Rows[6].Blocks, 263);
    EXPECT_STREQ(FileKindText(fkUnknown), "?");
    EXPECT_STREQ(FileKindText(fkOther), "CBM");
    EXPECT_STREQ(FileKindText(fkEmpty), "UNKNOWN");

    // Only the kinds asked for reach the callback.
    EXPECT_EQ(Disk->ReadDirectory(TFileKindSet{fkPrg}, [](const TC64DirRecord&) {}), 3);
}

TEST_F(DirectoryTest, EncodeFileTypeBuildsTheByte) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    uint8_t b = 0x55;
    Disk->EncodeFileType(&b, {fkPrg, 1, 1});
    EXPECT_EQ(b, 0xC2);
    Disk->EncodeFileType(&b, {fkEmpty, 1, 1});
    EXPECT_EQ(b, 0x00);
    Disk->EncodeFileType(&b, {fkUnknown, 0, 1});
    EXPECT_EQ(b, 0x80);
    Disk->EncodeFileType(&b, {fkOther, 0, 0});
    EXPECT_EQ(b, 0x05);
    EXPECT_THROW_MSG(Disk->EncodeFileType(nullptr, {fkPrg, 0, 0}), EC64DiskException,
                     "Internal TC64Disk Error: 001");
}

TEST_F(DirectoryTest, FieldConversionsPadAndCut) {
    uint8_t Field[16];
    StringToPetscii("A.B", Field, 15);
    EXPECT_EQ(PetsciiToFileName(Field, 15), "A");
    EXPECT_EQ(PetsciiToString(Field, 15), "A.B");
    StringToPetscii("\x0D"
                    "A",
                    Field, 15);
    EXPECT_EQ(PetsciiToFileName(Field, 15), "A");
    std::memset(Field, 0x41, 16);
    EXPECT_EQ(PetsciiToFileName(Field, 15), std::string(16, 'A'));
    EXPECT_EQ(PetsciiToString(Field, 15), std::string(16, 'A'));
    StringToPetscii("?*\xC1\xFF:X", Field, 15);
    EXPECT_EQ(PetsciiToFileName(Field, 15), "?*\xC1\xFF");
    for (char Stop : {'\\', '/', '|', '<', '>', '"'}) {
        StringToPetscii(std::string("AB") + Stop + "C", Field, 15);
        EXPECT_EQ(PetsciiToFileName(Field, 15), "AB") << Stop;
    }
}

TEST_F(DirectoryTest, HeaderFieldsAreWrittenThrough) {
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);
    Disk->SetDiskName("TWENTY CHARACTERS!!!");
    EXPECT_EQ(Disk->GetDiskName(), "TWENTY CHARACTER");
    Disk->SetDiskName("A");
    const ByteArray File = ReadHostFile(Path);
    EXPECT_EQ(File[91392 + 144], 'A');
    for (int i = 145; i < 160; ++i)
        EXPECT_EQ(File[91392 + static_cast<size_t>(i)], 0xA0);

    Disk->SetDiskID("01 2A");
    EXPECT_EQ(Disk->GetDiskID(), "01 ");
    EXPECT_EQ(ReadHostFile(Path)[91392 + 164], 0x20);
    Disk->SetDiskID("XY");
    EXPECT_EQ(ReadHostFile(Path)[91392 + 164], 0xA0);
    Disk->SetDosType("3DX");
    EXPECT_EQ(Disk->GetDosType(), "3D");
    Disk->SetDosType("");
    EXPECT_EQ(Disk->GetDosType(), "");
    EXPECT_EQ(Disk->GetHeaderLine(), "0 \"A               \" XY   ");
}

TEST_F(DirectoryTest, DirectoryGrowsAlongTheDirectoryTrack) {
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);
    // Leftovers on track 18 must not show up as files in a new directory sector.
    std::memset(Disk->GetSector(MakeTrackSector(18, 4)), 0x82, 256);
    for (int i = 0; i < 9; ++i)
        AddTestFile(*Disk, "F" + std::to_string(i), {});
    EXPECT_EQ(ReadTrackSector(Disk->GetSector(MakeTrackSector(18, 1))), MakeTrackSector(18, 4));
    EXPECT_EQ(Slot(*Disk, 4, 0)[5], 'F');
    EXPECT_EQ(List(*Disk).size(), 9u);
    EXPECT_TRUE(Disk->IsSectorUsed(MakeTrackSector(18, 4)));
    EXPECT_EQ(Disk->GetTrackFreeSectors(18), 16);
    EXPECT_EQ(ReadHostFile(Path), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));

    for (int i = 9; i < 144; ++i)
        AddTestFile(*Disk, "F" + std::to_string(i), {});
    std::vector<int> Order;
    TTrackSector ts = MakeTrackSector(18, 1);
    while (TrackOf(ts) != 0) {
        Order.push_back(SectorOf(ts));
        ts = ReadTrackSector(Disk->GetSector(ts));
    }
    EXPECT_EQ(Order, (std::vector<int>{1, 4, 7, 10, 13, 16, 2, 5, 8, 11, 14, 17, 3, 6, 9, 12, 15, 18}));
    EXPECT_EQ(Disk->GetFreeBlocks(), 664 - 144); // an empty file's one block each

    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());
    EXPECT_THROW_MSG(AddTestFile(*Disk, "ONE TOO MANY", Pattern(10)), EC64DiskFullException,
                     "Maximum number of files reached!");
    EXPECT_EQ(ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()), Before);
    EXPECT_EQ(List(*Disk).size(), 144u);
}

TEST_F(DirectoryTest, BadLinksEndTheWalk) {
    auto Disk = NewImage(Dir.Path("a.d64"));
    for (int i = 0; i < 9; ++i)
        AddTestFile(*Disk, "F" + std::to_string(i), {});
    uint8_t* Second = Disk->GetSector(MakeTrackSector(18, 4));
    Second[0] = 41;
    Second[1] = 0;
    int Reported = 0;
    EXPECT_THROW_MSG(
        Disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord&) { ++Reported; }),
        EC64DiskException, "Illegal Track/Sector value T:41/S:0");
    EXPECT_EQ(Reported, 9);

    // A chain back to its start must end too, both in the listing and the slot search.
    Second[0] = 18;
    Second[1] = 1;
    Reported = 0;
    EXPECT_THROW_MSG(
        Disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord&) { ++Reported; }),
        EC64DiskException, "Directory chain loops back to T:18/S:1!");
    EXPECT_EQ(Reported, 9);
    for (int i = 1; i < 8; ++i)
        Slot(*Disk, 4, i)[2] = 0x82;
    EXPECT_THROW_MSG(Disk->AllocateDirEntry(), EC64DiskException, "Directory chain loops back to T:18/S:1!");
}

TEST_F(DirectoryTest, DirectorySectorsMarkedFreeAreNeverTaken) {
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);
    for (int i = 0; i < 144; ++i)
        AddTestFile(*Disk, "F" + std::to_string(i), Pattern(1));
    // A BAM edited by hand: track 18 as on a fresh disk, although 18 sectors hold files.
    const uint8_t FreshTrack18[4] = {17, 0xFC, 0xFF, 0x07};
    std::memcpy(Disk->GetBamSector() + 72, FreshTrack18, 4);
    Disk->Save();
    const ByteArray Before = ReadHostFile(Path);
    EXPECT_THROW_MSG(
        AddTestFile(*Disk, "F144", Pattern(1)), EC64DiskException,
        "Directory sector T:18/S:2 is marked as free in the BAM!\r\nValidate the disk and try it again.");
    EXPECT_EQ(ReadHostFile(Path), Before);
    EXPECT_EQ(List(*Disk).size(), 144u);

    // A directory that strays off its track is never overwritten by file data either.
    auto Other = NewImage(Dir.Path("b.d64"));
    for (int i = 0; i < 8; ++i)
        AddTestFile(*Other, "G" + std::to_string(i), {});
    // (The eight empty files hold 17/0 to 17/7; 17/8 is the next sector taken.)
    WriteTrackSector(Other->GetSector(MakeTrackSector(18, 1)), MakeTrackSector(17, 8));
    Other->GetSector(MakeTrackSector(17, 8))[1] = 0xFF;
    EXPECT_THROW_MSG(
        AddTestFile(*Other, "DATA", Pattern(300)), EC64DiskException,
        "Directory sector T:17/S:8 is marked as free in the BAM!\r\nValidate the disk and try it again.");
    EXPECT_EQ(List(*Other).size(), 8u);
    EXPECT_FALSE(Other->IsSectorUsed(MakeTrackSector(17, 8)));
}

TEST_F(DirectoryTest, BrokenChainsRefuseNewFilesBeforeAnyWrite) {
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);
    for (int i = 0; i < 9; ++i)
        AddTestFile(*Disk, "F" + std::to_string(i), {});
    TC64DirRecord First;
    Disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) {
        if (R.Name == "F3") First = R;
    });
    Disk->ScratchFiles({First.Entry}, false); // a free slot in 18/1, before the bad link
    uint8_t* Second = Disk->GetSector(MakeTrackSector(18, 4));
    for (auto [Track, Message] : {std::pair<int, const char*>{18, "Directory chain loops back to T:18/S:1!"},
                                  {41, "Illegal Track/Sector value T:41/S:1"}}) {
        Second[0] = static_cast<uint8_t>(Track);
        Second[1] = 1;
        Disk->Save();
        const ByteArray Before = ReadHostFile(Path);
        EXPECT_THROW_MSG(AddTestFile(*Disk, "NEW", Pattern(500)), EC64DiskException, Message);
        EXPECT_EQ(ReadHostFile(Path), Before);
    }
}

TEST_F(DirectoryTest, FileEntryChangesAreWrittenThrough) {
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);
    uint8_t* Entry = AddTestFile(*Disk, "OLD", Pattern(300));
    Disk->ChangeFileEntry(Entry, "NEW NAME", 0x1234);
    ByteArray File = ReadHostFile(Path);
    EXPECT_EQ(File[91648 + 5], 'N');
    EXPECT_EQ(File[91648 + 30], 0x34);
    EXPECT_EQ(File[91648 + 31], 0x12);
    Disk->RenameFile(Entry, "RENAMED");
    EXPECT_EQ(List(*Disk)[0].Name, "RENAMED");
    EXPECT_EQ(List(*Disk)[0].Blocks, 0x1234);
    Disk->SetSoftWriteProtected(true);
    Disk->IgnoreSoftWriteProtection = false;
    EXPECT_THROW_MSG(Disk->RenameFile(Entry, "NO"), EC64DiskException, "Disk is Soft Write Protected!");
    EXPECT_EQ(List(*Disk)[0].Name, "RENAMED");
}

} // namespace
