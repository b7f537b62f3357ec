// Moving, sorting and renaming directory entries: only the listed slots' contents move.
#include "Reorder.h"
#include "TestImage.h"

#include <algorithm>

using namespace testing_support;

namespace {

std::vector<std::string> Names(TC64Disk& Disk) {
    std::vector<std::string> Result;
    for (const uint8_t* Entry : ListedEntries(Disk))
        Result.push_back(PetsciiToString(Entry + 5, 15));
    return Result;
}

std::vector<std::string> Head(TC64Disk& Disk, size_t Count) {
    std::vector<std::string> All = Names(Disk);
    All.resize(Count);
    return All;
}

// 20 files over three directory sectors, sizes 1-4 blocks and three kinds, the fourth
// file scratched (its slot must stay where it is).
class ReorderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Disk = NewImage(Dir.Path("r.d64"));
        for (int i = 0; i < 20; ++i) {
            const uint8_t Type = i % 3 == 0 ? 0x81 : i % 3 == 1 ? 0x82 : 0xC3;
            AddTestFile(*Disk, "F" + std::string(1, static_cast<char>('T' - i)),
                        Pattern(200 + 254 * (i % 4), i), Type);
        }
        Disk->ScratchFiles({FindEntry(*Disk, "FQ")}, false);
    }
    TTempDir Dir;
    std::unique_ptr<TC64Disk> Disk;
};

TEST_F(ReorderTest, SortMovesSlotContentsOnlyAndKeepsEveryFile) {
    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());
    std::vector<std::pair<std::string, ByteArray>> Files;
    for (uint8_t* Entry : ListedEntries(*Disk))
        Files.emplace_back(PetsciiToString(Entry + 5, 15), Disk->LoadFile(Entry));

    SortDirectory(*Disk, TSortKey::Name);
    std::vector<std::string> Sorted = Names(*Disk);
    EXPECT_TRUE(std::is_sorted(Sorted.begin(), Sorted.end()));
    EXPECT_EQ(Sorted.size(), 19u);

    // Read back from the file: every file's bytes, and every image byte outside the
    // slot bodies of the directory sectors 18/1, 18/4, 18/7, the BAM among them.
    auto Saved = TC64Disk::OpenDiskImage(Dir.Path("r.d64"), deCbmDos);
    for (const auto& [Name, Bytes] : Files)
        EXPECT_EQ(Saved->LoadFile(FindEntry(*Saved, Name)), Bytes) << Name;
    const ByteArray After = ReadHostFile(Dir.Path("r.d64"));
    for (uint32_t i = 0; i < After.size(); ++i) {
        const bool Body = (i >= Offset(18, 1) && i < Offset(18, 2)) ||
                          (i >= Offset(18, 4) && i < Offset(18, 5)) ||
                          (i >= Offset(18, 7) && i < Offset(18, 8));
        if (!Body || i % 32 < 2) ASSERT_EQ(After[i], Before[i]) << "byte " << i;
    }
    // The scratched slot (fourth of sector 18/1) keeps its contents.
    EXPECT_TRUE(std::equal(Before.begin() + Offset(18, 1) + 96, Before.begin() + Offset(18, 1) + 128,
                           After.begin() + Offset(18, 1) + 96));

    SortDirectory(*Disk, TSortKey::Size);
    const std::vector<uint8_t*> BySize = ListedEntries(*Disk);
    EXPECT_TRUE(std::is_sorted(BySize.begin(), BySize.end(),
                               [](const uint8_t* a, const uint8_t* b) { return a[30] < b[30]; }));
    EXPECT_EQ(Names(*Disk).front(), "FD"); // the one-block files FD FH FL FP FT, by name
    SortDirectory(*Disk, TSortKey::Type);
    const std::vector<uint8_t*> ByType = ListedEntries(*Disk);
    EXPECT_EQ(ByType.front()[2], 0x81);
    EXPECT_EQ(ByType.back()[2], 0xC3);
}

TEST_F(ReorderTest, MovesBlocksUpDownAndToAPlace) {
    // Listing: FT FS FR FP FO ... (FQ scratched).
    std::vector<const uint8_t*> Picked = {FindEntry(*Disk, "FR"), FindEntry(*Disk, "FP")};
    std::vector<uint8_t*> Now = MoveEntries(*Disk, Picked, -1);
    EXPECT_EQ(Head(*Disk, 5), (std::vector<std::string>{"FT", "FR", "FP", "FS", "FO"}));
    Now = MoveEntries(*Disk, {Now.begin(), Now.end()}, -1);
    Now = MoveEntries(*Disk, {Now.begin(), Now.end()}, -1); // already at the top: stays
    EXPECT_EQ(Names(*Disk)[0], "FR");
    EXPECT_EQ(PetsciiToString(Now[1] + 5, 15), "FP");
    Now = MoveEntries(*Disk, {Now.begin(), Now.end()}, +1);
    EXPECT_EQ(Head(*Disk, 3), (std::vector<std::string>{"FT", "FR", "FP"}));
    Now = MoveEntriesTo(*Disk, {Now.begin(), Now.end()}, 100);
    EXPECT_EQ(Names(*Disk).back(), "FP");
    EXPECT_EQ(PetsciiToString(Now[0] + 5, 15), "FR");
    EXPECT_EQ(Names(*TC64Disk::OpenDiskImage(Dir.Path("r.d64"), deCbmDos)), Names(*Disk));
}

TEST_F(ReorderTest, RenameRefusesATakenNameAndWritesTheNewOne) {
    uint8_t* Entry = FindEntry(*Disk, "FT");
    EXPECT_THROW_MSG(RenameEntry(*Disk, Entry, "FS"), EC64DiskException, "FILE EXISTS");
    EXPECT_THROW_MSG(RenameEntry(*Disk, Entry, "SEVENTEEN LETTERS"), EC64DiskException,
                     "A file name has at most 16 characters!");
    RenameEntry(*Disk, Entry, "FQ"); // the scratched file's name is free
    RenameEntry(*Disk, FindEntry(*Disk, "FS"), "FQ", true);
    auto Saved = TC64Disk::OpenDiskImage(Dir.Path("r.d64"), deCbmDos);
    const std::vector<std::string> Listed = Names(*Saved);
    EXPECT_EQ(std::count(Listed.begin(), Listed.end(), "FQ"), 2);
    EXPECT_EQ(Saved->Image()[Offset(18, 1) + 5 + 2], 0xA0); // padded with shifted spaces
}

} // namespace
