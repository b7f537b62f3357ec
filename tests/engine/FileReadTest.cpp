// Reading files: chain walking, real sizes, loop detection and damaged chains.
#include "TestImage.h"
#include "iterator.h"

using namespace testing_support;

namespace {

class FileReadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Disk = NewImage(Dir.Path("a.d64"));
        Entry = Disk->GetSector(MakeTrackSector(18, 1));
        Entry[2] = 0x82;
        Entry[3] = 17;
        Entry[4] = 0;
    }
    void Link(int T, int S, int NextT, int NextS) {
        uint8_t* p = Disk->GetSector(MakeTrackSector(T, S));
        p[0] = static_cast<uint8_t>(NextT);
        p[1] = static_cast<uint8_t>(NextS);
        for (int i = 2; i < 256; ++i) p[i] = static_cast<uint8_t>(T * 7 + S + i);
    }
    TTempDir Dir;
    std::unique_ptr<TC64Disk> Disk;
    uint8_t* Entry = nullptr;
};

TEST_F(FileReadTest, SizesComeFromTheLastSectorsByteCount) {
    Link(17, 0, 0, 255);
    EXPECT_EQ(Disk->GetRealFileSize(Entry), 254);
    Link(17, 0, 0, 2);
    EXPECT_EQ(Disk->GetRealFileSize(Entry), 1);
    EXPECT_EQ(Disk->LoadFile(Entry), ByteArray{17 * 7 + 2});

    Link(17, 0, 17, 10);
    Link(17, 10, 0, 101);
    EXPECT_EQ(Disk->GetRealFileSize(Entry), 354);
    const ByteArray Bytes = Disk->LoadFile(Entry);
    ASSERT_EQ(Bytes.size(), 354u);
    const uint8_t* First = Disk->GetSector(MakeTrackSector(17, 0));
    const uint8_t* Second = Disk->GetSector(MakeTrackSector(17, 10));
    EXPECT_EQ(ByteArray(Bytes.begin(), Bytes.begin() + 254), ByteArray(First + 2, First + 256));
    EXPECT_EQ(ByteArray(Bytes.begin() + 254, Bytes.end()), ByteArray(Second + 2, Second + 102));
}

TEST_F(FileReadTest, LastSectorWithoutDataBytesReadsNothingFromIt) {
    for (int Count : {0, 1}) {
        Link(17, 0, 17, 10);
        Link(17, 10, 0, Count);
        EXPECT_EQ(Disk->GetRealFileSize(Entry), 254) << Count;
        EXPECT_EQ(Disk->LoadFile(Entry).size(), 254u) << Count;
        Link(17, 0, 0, Count);
        EXPECT_EQ(Disk->GetRealFileSize(Entry), 0) << Count;
        EXPECT_TRUE(Disk->LoadFile(Entry).empty()) << Count;
    }
}

TEST_F(FileReadTest, EmptyFileStartsAtTheHeader) {
    Entry[3] = 18;
    Entry[4] = 0;
    EXPECT_TRUE(Disk->IsChainValid(Entry));
    EXPECT_EQ(Disk->GetRealFileSize(Entry), 0);
    EXPECT_TRUE(Disk->LoadFile(Entry).empty());
    EXPECT_EQ(Disk->CreateSectorIterator(Entry), nullptr);
}

TEST_F(FileReadTest, LoopingChainsAreRefused) {
    Link(17, 0, 17, 10);
    Link(17, 10, 17, 0);
    EXPECT_FALSE(Disk->IsChainValid(Entry));
    EXPECT_THROW_MSG(Disk->GetRealFileSize(Entry), EC64DiskException,
                     "Can't read real filesize because of an invalid file-chain!\r\nValidate the disk and try it "
                     "again.");
    EXPECT_THROW(Disk->LoadFile(Entry), EC64DiskException);
    Link(17, 10, 0, 50);
    EXPECT_TRUE(Disk->IsChainValid(Entry));
    // A sector linking to itself.
    Link(17, 0, 17, 0);
    EXPECT_FALSE(Disk->IsChainValid(Entry));
}

TEST_F(FileReadTest, LinksOutsideTheGeometryAreReported) {
    Link(17, 0, 36, 3);
    EXPECT_THROW_MSG(Disk->GetRealFileSize(Entry), EC64DiskException, "Illegal Track/Sector value T:36/S:3");
    Entry[3] = 0;
    Entry[4] = 7;
    EXPECT_THROW_MSG(Disk->GetRealFileSize(Entry), EC64DiskException, "Illegal Track/Sector value T:0/S:7");
    EXPECT_EQ(Disk->CreateSectorIterator(Entry), nullptr);
    EXPECT_THROW_MSG(Disk->LoadFile(nullptr), EC64DiskException,
                     "Cannot load file, coz there is no dir entry specified.");
    EXPECT_EQ(Disk->GetRealFileSize(nullptr), 0);
}

TEST_F(FileReadTest, IteratorStopsAfterTheLastSector) {
    Link(17, 0, 0, 255);
    ISectorIteratorPtr It = Disk->CreateSectorIterator(Entry);
    ASSERT_TRUE(It);
    EXPECT_TRUE(It->HasNext());
    EXPECT_EQ(It->Next(), Disk->GetSector(MakeTrackSector(17, 0)));
    EXPECT_FALSE(It->HasNext());
    EXPECT_THROW_MSG(It->Next(), ENoSuchElementException, "No more sectors to iterate!");
    EXPECT_THROW_MSG(TSimpleSectorIterator(nullptr, Entry), EC64DiskException,
                     "Invalid parameters! Cannot create SimleSectorIterator.");
    EXPECT_THROW_MSG(TSimpleSectorIterator(Disk.get(), nullptr), EC64DiskException,
                     "Invalid parameters! Cannot create SimleSectorIterator.");
}

} // namespace
