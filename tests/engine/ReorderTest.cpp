// Reordering the directory: only the listed slots' contents move.
#include "Reorder.h"
#include "TestImage.h"

#include <algorithm>

using namespace testing_support;

namespace {

// 20 files over three directory sectors (18/1, 18/4, 18/7), sizes 1-4 blocks, the fourth
// scratched (its slot must stay where it is), sorted by name: every file keeps its bytes,
// and outside the listed slots' bodies (bytes 2-31) not one image byte changes.
TEST(ReorderTest, SortMovesSlotContentsOnlyAndKeepsEveryFile) {
    TTempDir Dir;
    auto Disk = NewImage(Dir.Path("r.d64"));
    for (int i = 0; i < 20; ++i)
        AddTestFile(*Disk, "F" + std::string(1, static_cast<char>('T' - i)), Pattern(200 + 254 * (i % 4), i));
    Disk->ScratchFiles({FindEntry(*Disk, "FQ")}, false);
    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());
    std::vector<std::pair<std::string, ByteArray>> Files;
    for (uint8_t* Entry : ListedEntries(*Disk))
        Files.emplace_back(PetsciiToString(Entry + 5, 15), Disk->LoadFile(Entry));

    SortDirectory(*Disk, TSortKey::Name);
    auto Saved = TC64Disk::OpenDiskImage(Dir.Path("r.d64"), deCbmDos);
    const std::vector<uint8_t*> Sorted = ListedEntries(*Saved);
    ASSERT_EQ(Sorted.size(), 19u);
    EXPECT_EQ(PetsciiToString(Sorted.front() + 5, 15), "FA");
    EXPECT_EQ(PetsciiToString(Sorted.back() + 5, 15), "FT");
    for (const auto& [Name, Bytes] : Files)
        EXPECT_EQ(Saved->LoadFile(FindEntry(*Saved, Name)), Bytes) << Name;
    const ByteArray After = ReadHostFile(Dir.Path("r.d64"));
    for (uint32_t i = 0; i < After.size(); ++i) {
        const bool Body = (i >= Offset(18, 1) && i < Offset(18, 2)) ||
                          (i >= Offset(18, 4) && i < Offset(18, 5)) ||
                          (i >= Offset(18, 7) && i < Offset(18, 8));
        const bool Scratched = i >= Offset(18, 1) + 96 && i < Offset(18, 1) + 128;
        if (!Body || Scratched || i % 32 < 2) ASSERT_EQ(After[i], Before[i]) << "byte " << i;
    }
}

} // namespace
