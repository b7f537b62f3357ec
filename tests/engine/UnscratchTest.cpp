// Unscratch: a scratched file comes back byte for byte while its blocks are free; one
// whose blocks were taken again is lost and refused, with the image unchanged.
#include "Unscratch.h"
#include "TestImage.h"

using namespace testing_support;

namespace {

ByteArray ImageBytes(const TC64Disk& Disk) {
    return ByteArray(Disk.Image(), Disk.Image() + Disk.ImageSize());
}

} // namespace

TEST(UnscratchTest, IntactFileComesBackAndAReusedOneIsLost) {
    TTempDir Dir;
    auto Disk = NewImage(Dir.Path("x.d64"));
    AddTestFile(*Disk, "A", Pattern(1000, 1));
    AddTestFile(*Disk, "B", Pattern(3000, 2));
    const ByteArray Original = ImageBytes(*Disk);

    Disk->ScratchFiles({FindEntry(*Disk, "A")}, false);
    std::vector<TScratchedFile> Found = FindScratchedFiles(*Disk);
    ASSERT_EQ(Found.size(), 1u);
    EXPECT_EQ(Found[0].Name, "A");
    EXPECT_EQ(Found[0].Kind, fkPrg);
    EXPECT_EQ(Found[0].Blocks, 4);
    EXPECT_FALSE(Found[0].Lost);
    UnscratchFiles(*Disk, {Found[0].Entry});
    EXPECT_EQ(ImageBytes(*Disk), Original);
    EXPECT_EQ(ReadHostFile(Dir.Path("x.d64")), Original);

    // A new file takes A's entry and blocks, and B's too once B is scratched.
    Disk->ScratchFiles({FindEntry(*Disk, "A"), FindEntry(*Disk, "B")}, false);
    AddTestFile(*Disk, "C", Pattern(254 * 16, 3));
    Found = FindScratchedFiles(*Disk);
    ASSERT_EQ(Found.size(), 1u);
    EXPECT_EQ(Found[0].Name, "B");
    EXPECT_TRUE(Found[0].Lost);
    EXPECT_EQ(Found[0].Reason, "its blocks have been used again");
    const ByteArray Before = ImageBytes(*Disk);
    EXPECT_THROW_MSG(UnscratchFiles(*Disk, {Found[0].Entry}), EC64DiskException,
                     "Can't unscratch \"B\": its blocks have been used again.");
    EXPECT_EQ(ImageBytes(*Disk), Before);
}
