// format, list and bam: new images byte by byte, and what the listings show.
#include "CliTestSupport.h"
#include "d64.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

using namespace cli_test;

namespace {

const uint32_t Header = 91392; // track 18, sector 0

ByteArray HeaderField(const ByteArray& Image, int From, int To) {
    return ByteArray(Image.begin() + Header + From, Image.begin() + Header + To + 1);
}

ByteArray Padded(const std::string& Text, size_t Width) {
    ByteArray bytes(Text.begin(), Text.end());
    bytes.resize(Width, 0xA0);
    return bytes;
}

// A file added through the engine with a chosen type byte; returns its entry.
void AddFile(TC64Disk& Disk, const PetsciiString& Name, size_t Size, uint8_t TypeByte) {
    uint8_t entry[32] = {};
    entry[2] = TypeByte;
    StringToPetscii(Name, entry + 5, 15);
    const int blocks = static_cast<int>((Size + 253) / 254);
    entry[30] = static_cast<uint8_t>(blocks);
    Disk.AddFile(RandomBytes(Size, static_cast<unsigned>(Size)), entry);
}

} // namespace

TEST(FormatTest, DefaultsGiveUnnamedAndId01Dos2A) {
    TTempDir dir;
    const TRunResult r = RunTool({"format", dir.Path("new.d64")});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(r.Out.empty());
    const ByteArray image = ReadBytes(dir.Path("new.d64"));
    ASSERT_EQ(image.size(), 174848u);

    ByteArray expected = Padded("UNNAMED", 16);
    const ByteArray rest = {0xA0, 0xA0, '0', '1', ' ', '2', 'A', 0xA0, 0xA0, 0xA0, 0xA0};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(HeaderField(image, 144, 170), expected);
    EXPECT_EQ(image[Header + 2], 0x41); // not write protected
    // No scratch file is left next to the image.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(FormatTest, TracksErrorBytesDosNameAndId) {
    TTempDir dir;
    struct TCase {
        std::vector<std::string> Options;
        size_t Size;
        int ExtendedBam; // start of the entries of tracks 36-40, or 0
    };
    const std::vector<TCase> cases = {
        {{"--error-bytes"}, 175531, 0},
        {{"--tracks", "40"}, 196608, 192},
        {{"--tracks", "40", "--dos", "dolphin", "--error-bytes"}, 197376, 172},
        {{"--tracks", "35", "--dos", "dolphin"}, 174848, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = dir.Path("img" + std::to_string(n++) + ".d64");
        std::vector<std::string> args = {"format", path};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        ASSERT_EQ(RunTool(args).Status, 0);
        const ByteArray image = ReadBytes(path);
        EXPECT_EQ(image.size(), c.Size);
        for (int start : {172, 192}) {
            const ByteArray field = HeaderField(image, start, start + 3);
            if (start == c.ExtendedBam)
                EXPECT_EQ(field, (ByteArray{17, 0xFF, 0xFF, 0x01})) << path;
            else
                EXPECT_EQ(field, (ByteArray{0, 0, 0, 0})) << path << " at " << start;
        }
    }

    // Name and ID in the command-line convention; ID characters 4-5 are the DOS type.
    ASSERT_EQ(RunTool({"format", dir.Path("named.d64"), "--name", "Games{$61}", "--id", "ab 3c"}).Status, 0);
    ByteArray image = ReadBytes(dir.Path("named.d64"));
    EXPECT_EQ(HeaderField(image, 144, 159), Padded("\xC7"
                                                   "AMES\x61",
                                                   16));
    EXPECT_EQ(HeaderField(image, 162, 166), (ByteArray{'A', 'B', ' ', '3', 'C'}));

    // A two-character ID leaves the third ID byte and the DOS type padding.
    ASSERT_EQ(
        RunTool({"format", dir.Path("short.d64"), "--id", "xy", "--name", "a-very-long-disk-name"}).Status,
        0);
    image = ReadBytes(dir.Path("short.d64"));
    EXPECT_EQ(HeaderField(image, 144, 159), Padded("A-VERY-LONG-DISK", 16));
    EXPECT_EQ(HeaderField(image, 162, 166), (ByteArray{'X', 'Y', 0xA0, 0xA0, 0xA0}));
}

TEST(FormatTest, KindD71MakesA1571ImageAndRefusesD64Options) {
    TTempDir dir;
    ASSERT_EQ(
        RunTool({"format", dir.Path("a.d71"), "--kind", "D71", "--error-bytes", "--name", "two"}).Status, 0);
    const ByteArray image = ReadBytes(dir.Path("a.d71"));
    EXPECT_EQ(image.size(), 351062u);
    EXPECT_EQ(HeaderField(image, 3, 3), ByteArray{0x80}); // double-sided
    EXPECT_EQ(HeaderField(image, 144, 159), Padded("TWO", 16));
    EXPECT_NE(RunTool({"list", dir.Path("a.d71")}).Out.find("1328 BLOCKS FREE"), std::string::npos);
    for (const std::vector<std::string>& Bad : {std::vector<std::string>{"--kind", "d71", "--tracks", "40"},
                                                {"--kind", "d71", "--dos", "speed"},
                                                {"--kind", "d82"}}) {
        std::vector<std::string> args = {"format", dir.Path("b.d71")};
        args.insert(args.end(), Bad.begin(), Bad.end());
        EXPECT_EQ(RunTool(args).Status, 2) << Bad.back();
    }
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("b.d71"), ec));
}

TEST(FormatTest, AnExistingFileIsReplacedOnlyWhenForced) {
    TTempDir dir;
    const std::string path = dir.Path("keep.d64");
    WriteBytes(path, ByteArray{1, 2, 3});
    const TRunResult r = RunTool({"format", path});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("--force"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), (ByteArray{1, 2, 3}));

    ASSERT_EQ(RunTool({"format", path, "--force", "--tracks", "40"}).Status, 0);
    EXPECT_EQ(ReadBytes(path).size(), 196608u);
}

TEST(FormatTest, FilesGivenAreImportedIntoTheNewImageAsImportWouldOrNoImageIsMade) {
    TTempDir dir;
    WriteBytes(dir.Path("one.prg"), RandomBytes(600, 1));
    WriteBytes(dir.Path("two.seq"), RandomBytes(254, 2));
    const std::vector<std::string> files = {dir.Path("one.prg"), dir.Path("two.seq")};
    ASSERT_EQ(RunTool({"format", dir.Path("steps.d64"), "--name", "disk"}).Status, 0);
    std::vector<std::string> args = {"import", dir.Path("steps.d64")};
    args.insert(args.end(), files.begin(), files.end());
    ASSERT_EQ(RunTool(args).Status, 0);

    args = {"format", dir.Path("once.d64"), "--name", "disk"};
    args.insert(args.end(), files.begin(), files.end());
    const TRunResult r = RunTool(args);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadBytes(dir.Path("once.d64")), ReadBytes(dir.Path("steps.d64")));

    // The same name twice is refused as import refuses it, before anything is written.
    const TRunResult twice = RunTool({"format", dir.Path("twice.d64"), files[0], files[0]});
    EXPECT_EQ(twice.Status, 1);
    EXPECT_EQ(twice.Err, "FILE EXISTS: \"one\" (use --allow-duplicates to add it anyway)\n");
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("twice.d64"), ec));
    EXPECT_EQ(RunTool({"format", dir.Path("twice.d64"), files[0], files[0], "--allow-duplicates"}).Status, 0);
    EXPECT_NE(RunTool({"list", dir.Path("twice.d64")}).Out.find("658 BLOCKS FREE"), std::string::npos);
}
TEST(ListTest, RowsShowBlocksNameTypeMarksAndFirstSector) {
    TTempDir dir;
    const std::string path = dir.Path("list.d64");
    {
        auto disk = TC64Disk::CreateDiskImage(path, dt35Tracks, deCbmDos);
        disk->SetDiskName("DEMO\xC4ISK");
        AddFile(*disk, "ONE", 600, 0x82); // 3 blocks at 17/0
        AddFile(*disk,
                "\x61"
                "B\x0D",
                1, 0xC2);                  // locked, 17/1
        AddFile(*disk, "OPEN", 254, 0x02); // not closed, 17/2
        AddFile(*disk, "GONE", 10, 0x80);  // DEL
        AddFile(*disk, "ODD", 10, 0x86);   // code 6: "?"
        AddFile(*disk, "FIVE", 10, 0x85);  // code 5
        disk->Save();
    }
    const TRunResult r = RunTool({"list", path});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::vector<std::string> expected = {
        "0 \"demoDisk        \" 01 2a",
        "3    \"one\"              PRG       17/ 0",
        "1    \"{$61}b{$0D}\"      PRG<      17/ 1",
        "1    \"open\"             PRG*      17/ 2",
        "1    \"gone\"             DEL       17/ 3",
        "1    \"odd\"              ?         17/ 4",
        "1    \"five\"             CBM       17/ 5",
        "656 BLOCKS FREE - 6 FILE(S) ON DISK",
    };
    EXPECT_EQ(Lines(r.Out), expected);

    const TRunResult json = RunTool({"list", "--json", path});
    ASSERT_EQ(json.Status, 0);
    for (const char* part :
         {"\"header\": \"0 \\\"demoDisk        \\\" 01 2a\"", "\"disk_name\": \"demoDisk\"",
          "\"disk_id\": \"01\"", "\"dos_type\": \"2a\"", "\"free_blocks\": 656", "\"tracks\": 35",
          "{\"name\": \"{$61}b{$0D}\", \"name_hex\": \"61420d\", \"blocks\": 1, \"type\": \"PRG\", "
          "\"locked\": true, \"closed\": true, \"track\": 17, \"sector\": 1}",
          "\"name\": \"open\", \"name_hex\": \"4f50454e\", \"blocks\": 1, \"type\": \"PRG\", "
          "\"locked\": false, \"closed\": false"})
        EXPECT_NE(json.Out.find(part), std::string::npos) << part << "\n" << json.Out;
}

TEST(ListTest, ADamagedDirectoryShowsTheFilesBeforeTheFault) {
    TTempDir dir;
    const std::string path = dir.Path("bad.d64");
    {
        auto disk = TC64Disk::CreateDiskImage(path, dt35Tracks, deCbmDos);
        for (int i = 0; i < 9; ++i)
            AddFile(*disk, "F" + std::to_string(i), 5, 0x82);
        disk->Save();
    }
    ByteArray image = ReadBytes(path);
    image[SectorOffset(18, 1)] = 41; // link of the first directory sector
    WriteBytes(path, image);

    const TRunResult r = RunTool({"list", path});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err,
              "Illegal Track/Sector value T:41/S:" + std::to_string(image[SectorOffset(18, 1) + 1]) + "\n");
    const auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 9u); // header and the eight files of the first sector, no summary
    EXPECT_NE(lines[8].find("\"f7\""), std::string::npos);
    EXPECT_TRUE(RunTool({"list", "--json", path}).Out.empty());
}

TEST(ListTest, UnreadableImagesAreRefused) {
    TTempDir dir;
    EXPECT_EQ(RunTool({"list", dir.Path("missing.d64")}).Err, "Can't find specified diskimage!\n");
    ByteArray g64(1000);
    std::memcpy(g64.data(), "GCR-1541", 8);
    WriteBytes(dir.Path("g64.d64"), g64);
    const TRunResult unsupported = RunTool({"list", dir.Path("g64.d64")});
    EXPECT_EQ(unsupported.Status, 1);
    EXPECT_EQ(unsupported.Err.rfind("G64 disks not supported yet!\n", 0), 0u) << unsupported.Err;
}

TEST(BamTest, ChartMarksUsedSectorsPerTrack) {
    TTempDir dir;
    const std::string path = dir.Path("bam.d64");
    ASSERT_EQ(RunTool({"format", path, "--tracks", "40", "--dos", "dolphin"}).Status, 0);
    {
        auto disk = TC64Disk::OpenDiskImage(path, deCbmDos);
        disk->SetDosEmulation(deDolphinDos);
        disk->SetSectorUsed(MakeTrackSector(40, 16), true);
        disk->SetSectorUsed(MakeTrackSector(1, 20), true);
    }
    const TRunResult r = RunTool({"bam", path, "--dos", "dolphin"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 2u + 21u);
    const size_t first = 5; // column of track 1
    EXPECT_EQ(lines[0].substr(first, 40), "0000000001111111111222222222233333333334");
    EXPECT_EQ(lines[1].substr(first, 40), "1234567890123456789012345678901234567890");
    for (int s = 0; s < 21; ++s) {
        const std::string& row = lines[2 + s];
        for (int t = 1; t <= 40; ++t) {
            const bool exists = s < (t <= 17 ? 21 : t <= 24 ? 19 : t <= 30 ? 18 : 17);
            const bool used = (t == 18 && s <= 1) || (t == 40 && s == 16) || (t == 1 && s == 20);
            const char shown = first + t - 1 < row.size() ? row[first + t - 1] : ' ';
            EXPECT_EQ(shown, !exists ? ' ' : used ? '*' : '.') << "track " << t << " sector " << s;
        }
    }
}
