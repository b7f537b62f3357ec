// import: host files written by the engine's copying rules, names and types from the
// host file, REL side sectors, and refusals that leave the image untouched.
#include "CliTestSupport.h"
#include "HostImport.h"

#include <gtest/gtest.h>

using namespace cli_test;

namespace {

const uint32_t Header = 91392;

std::unique_ptr<TC64Disk> NewDisk(const std::string& Path) {
    auto disk = TC64Disk::CreateDiskImage(Path, dt35Tracks, deCbmDos);
    disk->SetDiskName("UNNAMED");
    disk->SetDiskID("01 2A");
    disk->SetDosType("2A");
    disk->Save();
    return disk;
}

size_t ScratchFilesIn(const std::filesystem::path& Dir) {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(Dir))
        if (e.path().filename().string().find(".d64tool-") != std::string::npos) ++n;
    return n;
}

} // namespace

TEST(ImportTest, ResultEqualsCopyingTheSameFileFromAnotherDisk) {
    TTempDir dir;
    const std::vector<size_t> sizes = {1, 254, 255, 508, 509, 20000, 0};
    std::vector<std::string> args = {"import", dir.Path("cli.d64")};
    // The reference: the same files copied in by the engine from a disk that holds them.
    auto source = NewDisk(dir.Path("source.d64"));
    auto reference = NewDisk(dir.Path("reference.d64"));
    ASSERT_EQ(RunTool({"format", dir.Path("cli.d64")}).Status, 0);
    for (size_t i = 0; i < sizes.size(); ++i) {
        const std::string name = "file" + std::to_string(i);
        const ByteArray bytes = RandomBytes(sizes[i], static_cast<unsigned>(i));
        WriteBytes(dir.Path(name + ".prg"), bytes);
        args.push_back(dir.Path(name + ".prg"));

        uint8_t entry[32] = {};
        entry[2] = 0x82;
        StringToPetscii("FILE" + std::to_string(i), entry + 5, 15);
        entry[30] = static_cast<uint8_t>((sizes[i] + 253) / 254);
        source->AddFile(bytes, entry);
        uint8_t* copied = nullptr;
        source->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& r) { copied = r.Entry; });
        reference->CopyFileFrom(copied, *source);
    }
    const TRunResult r = RunTool(args);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadBytes(dir.Path("cli.d64")), ReadBytes(dir.Path("reference.d64")));

    // And each file reads back as written, with a block count of its sectors (one
    // for the empty file).
    const ByteArray image = ReadBytes(dir.Path("cli.d64"));
    const ByteArray first = DirEntryBytes(image, 1, 0);
    EXPECT_EQ(first[2], 0x82);
    EXPECT_EQ(ByteArray(first.begin() + 21, first.begin() + 30), ByteArray(9, 0));
    auto disk = TC64Disk::OpenDiskImage(dir.Path("cli.d64"), deCbmDos);
    size_t i = 0;
    disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& f) {
        EXPECT_EQ(disk->LoadFile(f.Entry), RandomBytes(sizes[i], static_cast<unsigned>(i)));
        EXPECT_EQ(f.Blocks, std::max(static_cast<int>((sizes[i] + 253) / 254), 1));
        ++i;
    });
    EXPECT_EQ(i, sizes.size());
}

TEST(ImportTest, NameAndTypeComeFromTheHostFileUnlessGiven) {
    TTempDir dir;
    ASSERT_EQ(RunTool({"format", dir.Path("a.d64")}).Status, 0);
    struct TCase {
        std::string HostName;
        std::vector<std::string> Options;
        PetsciiString Name;
        uint8_t TypeByte;
    };
    const std::vector<TCase> cases = {
        {"notes.seq", {}, "NOTES", 0x81},
        {"Data.USR",
         {},
         "\xC4"
         "ATA",
         0x83},
        {"old.del", {}, "OLD", 0x80},
        {"my.game.bin", {}, "MY.GAME", 0x82},
        {"abcdefghijklmnopqrst.prg", {}, "ABCDEFGHIJKLMNOP", 0x82},
        {"plain", {"--type", "seq"}, "PLAIN", 0x81},
        {"x.seq", {"--name", "Boot{$12}", "--type", "prg"}, "\xC2OOT\x12", 0x82},
        {"y.prg", {"--name", "0123456789abcdefXYZ"}, "0123456789ABCDEF", 0x82},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        WriteBytes(dir.Path(cases[i].HostName), RandomBytes(10, 1));
        std::vector<std::string> args = {"import", dir.Path("a.d64"), dir.Path(cases[i].HostName)};
        args.insert(args.end(), cases[i].Options.begin(), cases[i].Options.end());
        ASSERT_EQ(RunTool(args).Status, 0) << cases[i].HostName;
    }
    auto disk = TC64Disk::OpenDiskImage(dir.Path("a.d64"), deCbmDos);
    size_t i = 0;
    disk->ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& f) {
        ASSERT_LT(i, cases.size());
        EXPECT_EQ(f.Name, cases[i].Name) << cases[i].HostName;
        EXPECT_EQ(f.Entry[2], cases[i].TypeByte) << cases[i].HostName;
        ++i;
    });
    EXPECT_EQ(i, cases.size());

    // A character of a host name the convention does not spell stands for its own byte;
    // a name typed with --name must follow the convention.
    WriteBytes(dir.Path("under_score.prg"), RandomBytes(10, 1));
    TRunResult r = RunTool({"import", dir.Path("a.d64"), dir.Path("under_score.prg")});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(RunTool({"list", dir.Path("a.d64")}).Out.find("\"under{$5F}score\""), std::string::npos);
    r = RunTool({"import", dir.Path("a.d64"), dir.Path("under_score.prg"), "--name", "a_b"});
    EXPECT_EQ(r.Status, 2);
}

TEST(ImportTest, RelFilesGetSideSectorsAndCountThem) {
    TTempDir dir;
    const std::string path = dir.Path("rel.d64");
    ASSERT_EQ(RunTool({"format", path}).Status, 0);
    // 121 data sectors need a second side sector.
    for (size_t size : {300u, 121u * 254u}) {
        const std::string host = dir.Path("r" + std::to_string(size));
        WriteBytes(host, RandomBytes(size, 7));
        ASSERT_EQ(RunTool({"import", path, host, "--type", "rel", "--record-length", "64"}).Status, 0);
    }
    const ByteArray image = ReadBytes(path);
    auto disk = TC64Disk::OpenDiskImage(path, deCbmDos);
    std::vector<const uint8_t*> entries;
    disk->ReadDirectory(TFileKindSet::AllListed(),
                        [&](const TC64DirRecord& f) { entries.push_back(f.Entry); });
    ASSERT_EQ(entries.size(), 2u);
    const int expectedBlocks[] = {2 + 1, 121 + 2};
    for (int k = 0; k < 2; ++k) {
        const uint8_t* e = entries[k];
        EXPECT_EQ(e[2], 0x84);
        EXPECT_EQ(e[23], 64);
        EXPECT_EQ(e[30] | e[31] << 8, expectedBlocks[k]);
        EXPECT_EQ(ImportedBlockCount(k ? 121u * 254u : 300u, fkRel), expectedBlocks[k]);
        const uint8_t* side = image.data() + SectorOffset(e[21], e[22]);
        EXPECT_NE(e[21], 0);
        EXPECT_EQ(side[3], 64);
        EXPECT_EQ(side[4], e[21]);
        EXPECT_EQ(side[5], e[22]);
        // The first listed data sector is the file's first sector.
        EXPECT_EQ(side[16], e[3]);
        EXPECT_EQ(side[17], e[4]);
    }
}

TEST(ImportTest, AReusedSlotLosesTheSideSectorLinkOfItsFormerRelFile) {
    TTempDir dir;
    const std::string path = dir.Path("a.d64");
    ASSERT_EQ(RunTool({"format", path}).Status, 0);
    WriteBytes(dir.Path("rec"), RandomBytes(100, 3));
    ASSERT_EQ(RunTool({"import", path, dir.Path("rec"), "--type", "rel", "--record-length", "10"}).Status, 0);
    ASSERT_NE(ReadBytes(path)[SectorOffset(18, 1) + 21], 0);
    ASSERT_EQ(RunTool({"scratch", path, "rec"}).Status, 0);

    WriteBytes(dir.Path("prog.prg"), RandomBytes(100, 4));
    ASSERT_EQ(RunTool({"import", path, dir.Path("prog.prg")}).Status, 0);
    const ByteArray entry = DirEntryBytes(ReadBytes(path), 1, 0);
    EXPECT_EQ(entry[2], 0x82);
    EXPECT_EQ(ByteArray(entry.begin() + 21, entry.begin() + 30), ByteArray(9, 0));
}

TEST(ImportTest, RefusalsLeaveTheImageUntouched) {
    TTempDir dir;
    const std::string path = dir.Path("a.d64");
    ASSERT_EQ(RunTool({"format", path}).Status, 0);
    WriteBytes(dir.Path("small.prg"), RandomBytes(1000, 1));
    WriteBytes(dir.Path("other.prg"), RandomBytes(1000, 3));
    WriteBytes(dir.Path("huge.prg"), RandomBytes(170000, 2)); // more than 664 x 256 bytes
    ASSERT_EQ(RunTool({"import", path, dir.Path("small.prg")}).Status, 0);
    const ByteArray before = ReadBytes(path);

    // The first file would fit, the second not: neither is written.
    TRunResult r = RunTool({"import", path, dir.Path("other.prg"), dir.Path("huge.prg")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Disk is full!\n");
    EXPECT_EQ(ReadBytes(path), before);

    r = RunTool({"import", path, dir.Path("other.prg"), dir.Path("missing.prg")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(ScratchFilesIn(dir.Root()), 0u);

    // A name already on the disk, as a 1541 answers it, unless asked for.
    r = RunTool({"import", path, dir.Path("small.prg")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "FILE EXISTS: \"small\" (use --allow-duplicates to add it anyway)\n");
    EXPECT_EQ(ReadBytes(path), before);

    // Soft write protection is honoured unless explicitly ignored.
    ByteArray protectedImage = before;
    protectedImage[Header + 2] = 0x01;
    WriteBytes(path, protectedImage);
    r = RunTool({"import", path, dir.Path("other.prg")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Disk is Soft Write Protected!\n");
    EXPECT_EQ(ReadBytes(path), protectedImage);
    ASSERT_EQ(
        RunTool({"import", path, dir.Path("small.prg"), "--ignore-write-protection", "--allow-duplicates"})
            .Status,
        0);
    const ByteArray after = ReadBytes(path);
    EXPECT_EQ(after[Header + 2], 0x01);
    EXPECT_EQ(DirEntryBytes(after, 1, 1)[2], 0x82);
}

// --same-name settles a taken name instead of refusing it, for import and copy alike.
TEST(ImportTest, SameNameSkipsKeepsBothOrReplaces) {
    TTempDir dir;
    const std::string a = dir.Path("a.d64"), b = dir.Path("b.d64");
    const ByteArray first = RandomBytes(300, 1), second = RandomBytes(600, 2);
    ASSERT_EQ(RunTool({"format", a}).Status, 0);
    ASSERT_EQ(RunTool({"format", b}).Status, 0);
    WriteBytes(dir.Path("x.prg"), first);
    ASSERT_EQ(RunTool({"import", a, dir.Path("x.prg")}).Status, 0);
    ASSERT_EQ(RunTool({"import", b, dir.Path("x.prg")}).Status, 0);
    const auto Content = [](const std::string& Image, const std::string& Name) {
        const std::string Out = RunTool({"cat", Image, Name, "--raw"}).Out;
        return ByteArray(Out.begin(), Out.end());
    };
    WriteBytes(dir.Path("x.prg"), second);
    const ByteArray before = ReadBytes(a);
    EXPECT_EQ(RunTool({"import", a, dir.Path("x.prg"), "--same-name", "skip"}).Status, 0);
    EXPECT_EQ(ReadBytes(a), before);
    EXPECT_EQ(RunTool({"import", a, dir.Path("x.prg"), "--same-name", "keep-both"}).Status, 0);
    EXPECT_EQ(Content(a, "x"), first);
    EXPECT_EQ(Content(a, "x(2)"), second);
    EXPECT_EQ(RunTool({"import", a, dir.Path("x.prg"), "--same-name", "replace"}).Status, 0);
    EXPECT_EQ(Content(a, "x"), second);
    EXPECT_NE(RunTool({"list", a}).Out.find("658 BLOCKS FREE - 2 FILE(S)"), std::string::npos);

    EXPECT_EQ(RunTool({"copy", a, b, "x", "--same-name", "replace"}).Status, 0);
    EXPECT_EQ(Content(b, "x"), second);
    EXPECT_NE(RunTool({"list", b}).Out.find("661 BLOCKS FREE - 1 FILE(S)"), std::string::npos);
}

TEST(ImportTest, LongNamesAreCutAndSaidSo) {
    TTempDir dir;
    const std::string path = dir.Path("a.d64");
    ASSERT_EQ(RunTool({"format", path}).Status, 0);
    WriteBytes(dir.Path("a-name-of-twenty-chars.prg"), RandomBytes(10, 1));
    const TRunResult r = RunTool({"import", path, dir.Path("a-name-of-twenty-chars.prg")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "d64tool: the name of " + dir.Path("a-name-of-twenty-chars.prg") +
                         " is cut to 16 characters: \"a-name-of-twenty\"\n");
    EXPECT_EQ(RunTool({"export", path, dir.Path(""), "a-name-of-twenty"}).Status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("a-name-of-twenty.prg")), RandomBytes(10, 1));
}

TEST(ImportTest, AFullDirectoryRefusesTheNextFile) {
    TTempDir dir;
    const std::string path = dir.Path("full.d64");
    {
        auto disk = NewDisk(path);
        disk->BeginUpdate();
        for (int i = 0; i < 144; ++i) { // 18 directory sectors of 8 entries
            uint8_t entry[32] = {};
            entry[2] = 0x82;
            StringToPetscii("F" + std::to_string(i), entry + 5, 15);
            disk->AddFile(ByteArray{1, 2, 3}, entry);
        }
        disk->EndUpdate(true);
    }
    const ByteArray before = ReadBytes(path);
    WriteBytes(dir.Path("one.prg"), ByteArray{9});
    const TRunResult r = RunTool({"import", path, dir.Path("one.prg")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Maximum number of files reached!\n");
    EXPECT_EQ(ReadBytes(path), before);
}
