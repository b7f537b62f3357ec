// New images: parameters, refusals, and the header and first directory sector byte by byte.
#include "TestImage.h"

using namespace testing_support;

namespace {

class FormatTest : public ::testing::Test {
  protected:
    TTempDir Dir;
};

ByteArray ExpectedHeader() {
    ByteArray h(256, 0);
    h[0] = 18;
    h[1] = 1;
    h[2] = 0x41;
    for (int t = 1; t <= 35; ++t) {
        const int Sectors = t <= 17 ? 21 : t <= 24 ? 19 : t <= 30 ? 18 : 17;
        h[4 * t] = static_cast<uint8_t>(Sectors);
        h[4 * t + 1] = h[4 * t + 2] = 0xFF;
        h[4 * t + 3] = t <= 17 ? 0x1F : t <= 24 ? 0x07 : t <= 30 ? 0x03 : 0x01;
    }
    h[72] = 17;
    h[73] = 0xFC;
    h[74] = 0xFF;
    h[75] = 0x07;
    const std::string Name = "KOBALTMANDREXIS";
    std::copy(Name.begin(), Name.end(), h.begin() + 144);
    h[159] = h[160] = h[161] = 0xA0;
    h[162] = '0';
    h[163] = '1';
    h[164] = 0xA0;
    h[165] = '2';
    h[166] = 'A';
    for (int i = 167; i <= 170; ++i)
        h[static_cast<size_t>(i)] = 0xA0;
    return h;
}

TEST_F(FormatTest, NewImageIsByteExact) {
    const std::string Path = Dir.Path("new.d64");
    auto Disk = TC64Disk::CreateDiskImage(Path, dt35Tracks, deCbmDos);
    EXPECT_FALSE(std::filesystem::exists(Path)); // nothing is written before the first change
    Disk->Save();
    const ByteArray File = ReadHostFile(Path);
    ASSERT_EQ(File.size(), 174848u);
    EXPECT_EQ(ByteArray(File.begin() + 91392, File.begin() + 91648), ExpectedHeader());
    ByteArray Dir1(256, 0);
    Dir1[1] = 0xFF;
    EXPECT_EQ(ByteArray(File.begin() + 91648, File.begin() + 91904), Dir1);
    size_t NonZero = 0;
    for (size_t i = 0; i < File.size(); ++i)
        if (File[i] && (i < 91392 || i >= 91904)) ++NonZero;
    EXPECT_EQ(NonZero, 0u);
    EXPECT_EQ(Disk->GetFreeBlocks(), 664);
    EXPECT_EQ(Disk->GetTrackCount(), 35);
    EXPECT_FALSE(Disk->IsSoftWriteProtected());
    EXPECT_EQ(Disk->GetHeaderLine(), "0 \"KOBALTMANDREXIS \" 01 2A");
}

TEST_F(FormatTest, FortyTrackImagesPutTheExtraBamWhereTheirDosWantsIt) {
    for (TDosEmulation Dos : {deDolphinDos, deSpeedDos}) {
        auto Disk = NewImage(Dir.Path("forty.d64"), dt40Tracks, Dos);
        const ByteArray File = ReadHostFile(Dir.Path("forty.d64"));
        ASSERT_EQ(File.size(), 196608u);
        const size_t Used = Dos == deDolphinDos ? 172 : 192;
        const size_t Unused = Dos == deDolphinDos ? 192 : 172;
        for (size_t t = 0; t < 5; ++t) {
            EXPECT_EQ(File[91392 + Used + 4 * t], 17);
            EXPECT_EQ(File[91392 + Used + 4 * t + 1], 0xFF);
            EXPECT_EQ(File[91392 + Used + 4 * t + 2], 0xFF);
            EXPECT_EQ(File[91392 + Used + 4 * t + 3], 0x01);
        }
        for (size_t i = 0; i < 20; ++i)
            EXPECT_EQ(File[91392 + Unused + i], 0);
        const ByteArray Header = ExpectedHeader();
        EXPECT_EQ(ByteArray(File.begin() + 91392, File.begin() + 91392 + 171),
                  ByteArray(Header.begin(), Header.begin() + 171));
        EXPECT_EQ(Disk->GetFreeBlocks(), 749);
        EXPECT_EQ(Disk->DosEmulation(), Dos);
    }
}

TEST_F(FormatTest, ErrorBytesAreZero) {
    NewImage(Dir.Path("e35.d64"), dt35TracksErrorInfo);
    NewImage(Dir.Path("e40.d64"), dt40TracksErrorInfo, deSpeedDos);
    const ByteArray File35 = ReadHostFile(Dir.Path("e35.d64"));
    const ByteArray File40 = ReadHostFile(Dir.Path("e40.d64"));
    ASSERT_EQ(File35.size(), 175531u);
    ASSERT_EQ(File40.size(), 197376u);
    EXPECT_EQ(ByteArray(File35.end() - 683, File35.end()), ByteArray(683, 0));
    EXPECT_EQ(ByteArray(File40.end() - 768, File40.end()), ByteArray(768, 0));
}

TEST_F(FormatTest, BadParametersAreRefused) {
    EXPECT_THROW_MSG(TC64Disk::CreateDiskImage(Dir.Path("x.d64"), dt40Tracks, deCbmDos), EC64DiskException,
                     "CBM-DOS doesn't support 40 Track disks!");
    EXPECT_FALSE(std::filesystem::exists(Dir.Path("x.d64")));
    EXPECT_THROW_MSG(TC64Disk::CreateDiskImage(Dir.Path("x.d64"), dt35Tracks, dePrologicDos),
                     EC64DiskException, "Can't create PrologicDos disk!");
    EXPECT_THROW_MSG(TC64Disk::CreateDiskImage("", dt35Tracks, deCbmDos), EC64DiskException,
                     "No Filename specified!");
    EXPECT_THROW_MSG(TD64(Dir.Path("x.d64"), deCbmDos, dtNone), EC64DiskException,
                     "Invalid Disktype!\r\nCan't create Disk!");
    EXPECT_EQ(TC64Disk::CreateDiskImage(Dir.Path("x.d64"), static_cast<TDiskType>(99), deCbmDos), nullptr);
    EXPECT_EQ(TC64Disk::CreateDiskImage(Dir.Path("x.d64"), dtNone, deCbmDos), nullptr);
}

TEST_F(FormatTest, FirstChangeCreatesTheFileAndSaveReplacesAnExistingOne) {
    const std::string Path = Dir.Path("named.d64");
    WriteHostFile(Path, ByteArray(174848, 0xEE));
    auto Disk = TC64Disk::CreateDiskImage(Path, dt35Tracks, deCbmDos);
    Disk->SetDiskName("NEW");
    // The old file's bytes are not this disk's: the first change writes the whole image,
    // never one track mixed into someone else's contents.
    EXPECT_EQ(ReadHostFile(Path), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));
    Disk->SetDiskName("NEWER");
    Disk->Save();
    EXPECT_EQ(ReadHostFile(Path), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));

    const std::string Fresh = Dir.Path("fresh.d64");
    auto Disk2 = TC64Disk::CreateDiskImage(Fresh, dt35Tracks, deCbmDos);
    Disk2->SetDiskName("FRESH");
    EXPECT_EQ(ReadHostFile(Fresh).size(), 174848u);
}

} // namespace
