// Writing files (copying between disks), scratching and deleting.
#include "TestImage.h"

#include <cstring>
#include <functional>

using namespace testing_support;

namespace {

class FileWriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Source = NewImage(Dir.Path("src.d64"));
        Target = NewImage(Dir.Path("dst.d64"));
    }
    ByteArray Image(TC64Disk& Disk) { return ByteArray(Disk.Image(), Disk.Image() + Disk.ImageSize()); }
    uint8_t* Copy(const std::string& Name, const ByteArray& Bytes, uint8_t Type = 0x82) {
        uint8_t* e = AddTestFile(*Source, Name, Bytes, Type);
        Target->CopyFileFrom(e, *Source);
        return FindEntry(*Target, Name);
    }
    TTempDir Dir;
    std::unique_ptr<TC64Disk> Source, Target;
};

TEST_F(FileWriteTest, LastSectorLinkCountsItsBytes) {
    struct Case {
        size_t Size;
        std::vector<TTrackSector> Links;
    };
    for (Case c : {Case{1, {MakeTrackSector(0, 2)}}, Case{254, {MakeTrackSector(0, 255)}},
                   Case{255, {MakeTrackSector(17, 10), MakeTrackSector(0, 2)}}}) {
        auto Disk = NewImage(Dir.Path("c.d64"));
        uint8_t* e = AddTestFile(*Disk, "F", Pattern(c.Size));
        TTrackSector ts = MakeTrackSector(e[3], e[4]);
        EXPECT_EQ(ts, MakeTrackSector(17, 0));
        for (TTrackSector Want : c.Links) {
            const uint8_t* p = Disk->GetSector(ts);
            EXPECT_EQ(ReadTrackSector(p), Want) << c.Size;
            ts = ReadTrackSector(p);
        }
        EXPECT_EQ(Disk->LoadFile(e), Pattern(c.Size));
        EXPECT_EQ(Disk->GetFreeBlocks(), 664 - static_cast<int>(c.Links.size()));
    }
}

TEST_F(FileWriteTest, CopyIsExactAndWrittenToTheFile) {
    const ByteArray Bytes = Pattern(3 * 254 - 5, 3);
    uint8_t* Src = AddTestFile(*Source, "THREE", Bytes, 0xC2);
    Src[30] = 99; // a wrong block count is copied as it stands
    std::memcpy(Src + 24, "\x01\x02\x03\x04\x05\x06", 6);
    Target->CopyFileFrom(Src, *Source);
    uint8_t* e = FindEntry(*Target, "THREE");
    ASSERT_EQ(e, Target->GetSector(MakeTrackSector(18, 1))); // slot 0 of 18/1
    EXPECT_EQ(e[2], 0xC2);
    EXPECT_EQ(e[3], 17);
    EXPECT_EQ(e[4], 0);
    EXPECT_EQ(e[30], 99);
    EXPECT_EQ(ByteArray(e + 24, e + 30), (ByteArray{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ReadTrackSector(Target->GetSector(MakeTrackSector(17, 0))), MakeTrackSector(17, 10));
    EXPECT_EQ(ReadTrackSector(Target->GetSector(MakeTrackSector(17, 10))), MakeTrackSector(17, 20));
    EXPECT_EQ(Target->LoadFile(e), Bytes);
    EXPECT_EQ(Target->GetFreeBlocks(), 661);
    EXPECT_EQ(ReadHostFile(Dir.Path("dst.d64")), Image(*Target));
}

TEST_F(FileWriteTest, AnEmptyFileTakesOneBlockWithoutData) {
    uint8_t* e = Copy("EMPTY", {});
    EXPECT_EQ(MakeTrackSector(e[3], e[4]), MakeTrackSector(17, 0));
    EXPECT_EQ(ReadTrackSector(Target->GetSector(MakeTrackSector(17, 0))), MakeTrackSector(0, 1));
    EXPECT_EQ(e[30] | e[31] << 8, 1);
    EXPECT_EQ(Target->GetFreeBlocks(), 663);
    // An entry of old pointing at the header, without a block, reads and copies as empty.
    uint8_t* Old = AddTestFile(*Source, "OLD", {});
    WriteTrackSector(Old + 3, MakeTrackSector(18, 0));
    Target->CopyFileFrom(Old, *Source);
    EXPECT_EQ(Target->GetRealFileSize(FindEntry(*Target, "OLD")), 0);
    EXPECT_EQ(Target->GetFreeBlocks(), 662);
}

TEST_F(FileWriteTest, RefusalsChangeNothing) {
    uint8_t* Big = AddTestFile(*Source, "BIG", Pattern(600 * 254));
    Target->SetFreeBlocks(100);
    Target->Save();
    const ByteArray Before = ReadHostFile(Dir.Path("dst.d64"));
    EXPECT_THROW_MSG(Target->CopyFileFrom(Big, *Source), EC64DiskFullException, "Disk is full!");
    EXPECT_EQ(ReadHostFile(Dir.Path("dst.d64")), Before);
    EXPECT_EQ(Image(*Target), Before);

    Target->SetSoftWriteProtected(true);
    Target->IgnoreSoftWriteProtection = false;
    const ByteArray Protected = ReadHostFile(Dir.Path("dst.d64"));
    uint8_t* Small = AddTestFile(*Source, "SMALL", Pattern(10));
    EXPECT_THROW_MSG(Target->CopyFileFrom(Small, *Source), EC64DiskException,
                     "Disk is Soft Write Protected!");
    EXPECT_EQ(ReadHostFile(Dir.Path("dst.d64")), Protected);

    // An invalid source chain stops the copy before anything changes.
    Target->IgnoreSoftWriteProtection = true;
    uint8_t* p = Source->GetSector(MakeTrackSector(Small[3], Small[4]));
    p[0] = Small[3];
    p[1] = Small[4];
    EXPECT_THROW(Target->CopyFileFrom(Small, *Source), EC64DiskException);
    EXPECT_EQ(ReadHostFile(Dir.Path("dst.d64")), Protected);
}

TEST_F(FileWriteTest, RunningOutOfSpacePartWayGivesTheSectorsBack) {
    // Track 1's count promises five sectors more than its bitmap holds: a file of 666
    // blocks passes the free-space check and then runs out of sectors.
    auto Big = NewImage(Dir.Path("big.d64"), dt40Tracks, deSpeedDos);
    uint8_t* Src = AddTestFile(*Big, "TOO BIG", Pattern(666 * 254));
    Target->GetBamSector()[4] += 5;
    Target->Save();
    const ByteArray Before = Image(*Target);
    EXPECT_THROW_MSG(Target->CopyFileFrom(Src, *Big), EC64DiskFullException, "Disk is full!");
    EXPECT_EQ(Image(*Target), Before);
    EXPECT_EQ(FindEntry(*Target, "TOO BIG"), nullptr);
    EXPECT_EQ(Target->GetFreeBlocks(), 669);
    const uint8_t* Bam = Target->GetBamSector();
    EXPECT_EQ(ByteArray(Bam, Bam + 256), ByteArray(Before.begin() + 91392, Before.begin() + 91648));
    const ByteArray File = ReadHostFile(Dir.Path("dst.d64"));
    EXPECT_EQ(ByteArray(File.begin() + 91392, File.begin() + 91648), ByteArray(Bam, Bam + 256));
    // A file that fills the disk exactly still goes in afterwards.
    Target->GetBamSector()[4] -= 5;
    Big->ScratchFiles({Src}, false);
    Src = AddTestFile(*Big, "FITS", Pattern(664 * 254));
    Target->CopyFileFrom(Src, *Big);
    EXPECT_EQ(Target->LoadFile(FindEntry(*Target, "FITS")), Pattern(664 * 254));
    EXPECT_EQ(Target->GetFreeBlocks(), 0);
}

TEST_F(FileWriteTest, NothingIsWrittenOverAListedFileTheBamCallsFree) {
    const std::string Path = Dir.Path("c.d64");
    struct TCase {
        std::function<void(TC64Disk&)> Damage;
        std::string Problem;
    };
    // A's chain is 17/0, 17/10, 17/20, 17/9; REL R has 17/1 and 17/11, its side sector 17/2.
    const std::vector<TCase> Cases = {
        {[](TC64Disk& D) { std::memcpy(D.GetBamSector() + 68, "\x15\xFF\xFF\x1F", 4); },
         "Sector T:17/S:0 of file \"A\" is marked as free in the BAM!"},
        {[](TC64Disk& D) { D.SetSectorUsed(MakeTrackSector(17, 2), false); },
         "Sector T:17/S:2 of file \"R{$C5}L\" is marked as free in the BAM!"},
        {[](TC64Disk& D) { WriteTrackSector(D.GetSector(MakeTrackSector(17, 9)), MakeTrackSector(18, 1)); },
         "File \"A\" runs through directory sector T:18/S:1!"},
    };
    for (const TCase& c : Cases) {
        auto Disk = NewImage(Path);
        AddTestFile(*Disk, "A", Pattern(1000));
        AddTestFile(*Disk, "R\xC5L", Pattern(300), 0x84);
        c.Damage(*Disk);
        Disk->Save();
        const ByteArray Before = ReadHostFile(Path);
        EXPECT_THROW_MSG(AddTestFile(*Disk, "B", Pattern(600)), EC64DiskException,
                         c.Problem + "\r\nValidate the disk and try it again.");
        EXPECT_EQ(ReadHostFile(Path), Before);
        EXPECT_EQ(Image(*Disk), Before);
    }
}

TEST_F(FileWriteTest, ScratchFreesButKeepsDeleteWipes) {
    const std::string Path = Dir.Path("dst.d64");
    uint8_t* e = Copy("LOCKED", Pattern(600), 0xC2);
    const ByteArray Sector0(Target->GetSector(MakeTrackSector(17, 0)),
                            Target->GetSector(MakeTrackSector(17, 0)) + 256);
    Target->ScratchFiles({e}, false);
    EXPECT_EQ(e[2], 0x00);
    EXPECT_EQ(PetsciiToString(e + 5, 15), "LOCKED");
    EXPECT_EQ(e[3], 17);
    EXPECT_EQ(e[30], 3);
    EXPECT_FALSE(Target->IsSectorUsed(MakeTrackSector(17, 0)));
    EXPECT_FALSE(Target->IsSectorUsed(MakeTrackSector(17, 20)));
    EXPECT_EQ(Target->GetFreeBlocks(), 664);
    const uint8_t* p = Target->GetSector(MakeTrackSector(17, 0));
    EXPECT_EQ(ByteArray(p, p + 256), Sector0);
    EXPECT_EQ(ReadHostFile(Path), Image(*Target));

    e = Copy("WIPED", Pattern(600), 0xC2);
    Target->ScratchFiles({e}, true);
    EXPECT_EQ(ByteArray(e + 2, e + 32), ByteArray(30, 0));
    for (int s : {0, 10, 20}) {
        const uint8_t* q = Target->GetSector(MakeTrackSector(17, s));
        EXPECT_EQ(ByteArray(q, q + 256), ByteArray(256, 0)) << s;
    }
    EXPECT_EQ(Target->GetFreeBlocks(), 664);
    EXPECT_EQ(ReadHostFile(Path), Image(*Target));
}

TEST_F(FileWriteTest, ScratchStopsAtABrokenChain) {
    const std::string Path = Dir.Path("dst.d64");
    uint8_t* First = Copy("FIRST", Pattern(300));
    uint8_t* Second = Copy("SECOND", Pattern(300, 1));
    uint8_t* Third = Copy("THIRD", Pattern(300, 2));
    uint8_t* p = Target->GetSector(MakeTrackSector(Second[3], Second[4]));
    WriteTrackSector(p, MakeTrackSector(Second[3], Second[4])); // loops on itself
    Target->Save();
    const ByteArray Before = ReadHostFile(Path);
    EXPECT_THROW_MSG(
        Target->ScratchFiles({First, Second, Third}, false), EC64DiskException,
        "Can't scratch file(s) because of an invalid file-chain!\r\nValidate the disk and try it "
        "again.");
    EXPECT_EQ(First[2], 0x00);
    EXPECT_EQ(Second[2], 0x82);
    EXPECT_EQ(Third[2], 0x82);
    EXPECT_EQ(ReadHostFile(Path), Before); // not saved yet
    EXPECT_FALSE(Target->Updating());

    // A link off the disk fails differently, but the disk can still write afterwards.
    WriteTrackSector(p, MakeTrackSector(41, 0));
    EXPECT_THROW_MSG(Target->ScratchFiles({Second}, true), EC64DiskException,
                     "Illegal Track/Sector value T:41/S:0");
    EXPECT_FALSE(Target->Updating());
    Target->SetDiskName("STILL WRITES");
    EXPECT_EQ(ReadHostFile(Path)[91392 + 144], 'S');
}

TEST_F(FileWriteTest, RelFilesGetSideSectors) {
    uint8_t* Src = AddTestFile(*Source, "REL10", Pattern(10 * 254), 0x84);
    Src[23] = 64;
    Target->CopyFileFrom(Src, *Source);
    uint8_t* e = FindEntry(*Target, "REL10");
    EXPECT_EQ(e[23], 64);
    const TTrackSector Side = ReadTrackSector(e + 21);
    EXPECT_EQ(Side, MakeTrackSector(17, 1)); // first sector the chain left free
    EXPECT_TRUE(Target->IsSectorUsed(Side));
    const uint8_t* s = Target->GetSector(Side);
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], 15 + 2 * 10); // the last used byte, as 1541 readers expect
    EXPECT_EQ(s[2], 0);
    EXPECT_EQ(s[3], 64);
    EXPECT_EQ(ReadTrackSector(s + 4), Side);
    EXPECT_EQ(ByteArray(s + 6, s + 16), ByteArray(10, 0));
    TTrackSector Data = MakeTrackSector(e[3], e[4]);
    for (int j = 0; j < 10; ++j) {
        EXPECT_EQ(ReadTrackSector(s + 16 + 2 * j), Data) << j;
        Data = ReadTrackSector(Target->GetSector(Data));
    }
    EXPECT_EQ(ReadTrackSector(s + 36), 0);
}

TEST_F(FileWriteTest, AnEmptyRelFileGetsAnEmptyDataBlockAndItsSideSector) {
    uint8_t* Src = AddTestFile(*Source, "REL0", {}, 0x84);
    Src[23] = 10;
    Target->CopyFileFrom(Src, *Source);
    uint8_t* e = FindEntry(*Target, "REL0");
    const TTrackSector Data = MakeTrackSector(e[3], e[4]);
    const uint8_t* s = Target->GetSector(ReadTrackSector(e + 21));
    EXPECT_EQ(Data, MakeTrackSector(17, 0));
    EXPECT_EQ(ReadTrackSector(Target->GetSector(Data)), MakeTrackSector(0, 1)); // no data byte
    EXPECT_EQ(ReadTrackSector(s), MakeTrackSector(0, 17));
    EXPECT_EQ(ReadTrackSector(s + 16), Data);
    EXPECT_EQ(Target->GetRealFileSize(e), 0);
    EXPECT_TRUE(Target->LoadFile(e).empty());
    EXPECT_EQ(Target->GetFreeBlocks(), 662);
}

TEST_F(FileWriteTest, ARelFileWithoutRoomForItsSideSectorsIsRefused) {
    // 10 data sectors take 11 blocks, 160 take 162.
    for (auto [DataSectors, Free] : {std::pair{10, 10}, std::pair{160, 161}}) {
        auto Disk = NewImage(Dir.Path("c.d64"));
        AddTestFile(*Disk, "FILL", Pattern(static_cast<size_t>(664 - Free) * 254));
        uint8_t* Src = AddTestFile(*Source, "R" + std::to_string(Free), Pattern(DataSectors * 254u), 0x84);
        const ByteArray Before = Image(*Disk);
        EXPECT_THROW_MSG(Disk->CopyFileFrom(Src, *Source), EC64DiskFullException, "Disk is full!");
        EXPECT_EQ(Image(*Disk), Before);
    }
}

TEST_F(FileWriteTest, LongRelFilesGetFurtherSideSectors) {
    uint8_t* Src = AddTestFile(*Source, "REL130", Pattern(130 * 254), 0x84);
    Src[23] = 100;
    Target->CopyFileFrom(Src, *Source);
    uint8_t* e = FindEntry(*Target, "REL130");
    const TTrackSector Side0 = ReadTrackSector(e + 21);
    const uint8_t* s0 = Target->GetSector(Side0);
    const TTrackSector Side1 = ReadTrackSector(s0);
    ASSERT_NE(TrackOf(Side1), 0);
    const uint8_t* s1 = Target->GetSector(Side1);
    EXPECT_EQ(s0[2], 0);
    EXPECT_EQ(s1[2], 1);
    EXPECT_EQ(s1[3], 100);
    EXPECT_EQ(s1[0], 0);
    EXPECT_EQ(s1[1], 15 + 2 * 10);
    for (const uint8_t* s : {s0, s1}) {
        EXPECT_EQ(ReadTrackSector(s + 4), Side0);
        EXPECT_EQ(ReadTrackSector(s + 6), Side1);
        EXPECT_EQ(ReadTrackSector(s + 8), 0);
    }
    // Data sector 121 of the chain is the first one listed in the second side sector.
    TTrackSector Data = MakeTrackSector(e[3], e[4]);
    for (int j = 0; j < 120; ++j)
        Data = ReadTrackSector(Target->GetSector(Data));
    for (int j = 0; j < 10; ++j) {
        EXPECT_EQ(ReadTrackSector(s1 + 16 + 2 * j), Data) << j;
        Data = ReadTrackSector(Target->GetSector(Data));
    }
    EXPECT_EQ(TrackOf(Data), 0); // the tenth was the chain's last sector
    EXPECT_EQ(ReadTrackSector(s1 + 16 + 2 * 10), 0);
    EXPECT_EQ(Target->GetFreeBlocks(), 664 - 132);
}

TEST_F(FileWriteTest, ScratchAndDeleteFreeARelFilesSideSectors) {
    for (TDiskType Type : {dt35Tracks, dt71}) {
        auto Disk = NewImage(Dir.Path("side.img"), Type);
        const int Free = Disk->GetFreeBlocks();
        // 130 data sectors and two side sectors, the second reached through the first's link.
        uint8_t* e = AddTestFile(*Disk, "R", Pattern(130 * 254), 0x84);
        const TTrackSector Side0 = ReadTrackSector(e + 21);
        const TTrackSector Side1 = ReadTrackSector(Disk->GetSector(Side0));
        Disk->ScratchFiles({e}, false);
        EXPECT_EQ(Disk->GetFreeBlocks(), Free) << Type;
        EXPECT_FALSE(Disk->IsSectorUsed(Side0));
        EXPECT_FALSE(Disk->IsSectorUsed(Side1));
        EXPECT_EQ(Disk->GetSector(Side1)[2], 1); // a scratched side sector keeps its bytes

        e = AddTestFile(*Disk, "R", Pattern(130 * 254), 0x84);
        const TTrackSector Side = ReadTrackSector(e + 21);
        Disk->ScratchFiles({e}, true);
        EXPECT_EQ(Disk->GetFreeBlocks(), Free) << Type;
        EXPECT_EQ(ByteArray(Disk->GetSector(Side), Disk->GetSector(Side) + 256), ByteArray(256, 0));
    }
}

} // namespace

// A list added in one call traces the disk once: it must leave every byte as the same
// files added one by one do, on each kind, with the directory growing, REL side sectors
// (and the 1581's super side sector), an empty file, and a file that no longer fits.
TEST_F(FileWriteTest, AFileListAddedAtOnceEqualsTheFilesAddedOneByOne) {
    for (TDiskType Type : {dt35Tracks, dt71, dtD81}) {
        std::vector<ByteArray> Bytes;
        std::vector<std::array<uint8_t, 32>> Entries;
        for (int i = 0; i < 30; ++i) {
            std::array<uint8_t, 32> Entry{};
            Entry[2] = i % 7 == 3 ? 0x84 : 0x82;
            Entry[23] = Entry[2] == 0x84 ? 100 : 0;
            StringToPetscii("FILE" + std::to_string(i), Entry.data() + 5, 15);
            Entries.push_back(Entry);
            // 112 KB in all, a REL file of 130 blocks (two side sectors) among them
            const size_t Size = i == 24 ? 130 * 254 : static_cast<size_t>(i * 150 + i % 5 * 900);
            Bytes.push_back(Pattern(i == 5 ? 0 : Size, i));
        }
        Bytes.back() = Pattern(3000 * 254); // more than any of these disks has left
        std::vector<std::pair<const ByteArray*, const uint8_t*>> List;
        for (size_t i = 0; i < Bytes.size(); ++i)
            List.emplace_back(&Bytes[i], Entries[i].data());

        auto OneByOne = NewImage(Dir.Path("one.img"), Type);
        auto AtOnce = NewImage(Dir.Path("all.img"), Type);
        for (size_t i = 0; i + 1 < Bytes.size(); ++i)
            OneByOne->AddFile(Bytes[i], Entries[i].data());
        EXPECT_THROW(OneByOne->AddFile(Bytes.back(), Entries.back().data()), EC64DiskFullException);
        EXPECT_THROW(AtOnce->AddFiles(List), EC64DiskFullException);
        EXPECT_EQ(Image(*AtOnce), Image(*OneByOne)) << Type;
        EXPECT_NE(FindEntry(*AtOnce, "FILE28"), nullptr) << Type;
        EXPECT_EQ(FindEntry(*AtOnce, "FILE29"), nullptr) << Type;
    }
}

// A command's working copy is made at the first save that reaches it, once, and the image
// itself is never written meanwhile; a change kept in memory to its end makes none.
TEST_F(FileWriteTest, TheWorkingCopyIsMadeAtItsFirstSaveOnly) {
    const ByteArray OnDisk = ReadHostFile(Dir.Path("dst.d64"));
    int Made = 0;
    Target->UseScratchFile([&] {
        ++Made;
        WriteHostFile(Dir.Path("work.d64"), {});
        return Dir.Path("work.d64");
    });
    Target->BeginUpdate();
    AddTestFile(*Target, "KEPT", Pattern(600));
    Target->EndUpdate(false);
    EXPECT_EQ(Made, 0);
    AddTestFile(*Target, "SAVED", Pattern(600)); // a whole save
    Target->SetDiskName("WORK");                 // a track written through
    EXPECT_EQ(Made, 1);
    EXPECT_EQ(ReadHostFile(Dir.Path("work.d64")), Image(*Target));
    EXPECT_EQ(ReadHostFile(Dir.Path("dst.d64")), OnDisk);
}
