// copy, export, scratch and delete: the files they pick by name, what they change, and
// the refusals that leave images and folders as they were.
#include "CliTestSupport.h"
#include "NameConvention.h"
#include "hostfile.h"

#include <gtest/gtest.h>
#include <map>

using namespace cli_test;

namespace {

const uint32_t Header = 91392;

struct TImageFile {
    PetsciiString Name;
    size_t Size;
};

// A formatted image holding these files (type PRG), written through the tool itself.
void MakeImage(const TTempDir& Dir, const std::string& Image, const std::vector<TImageFile>& Files) {
    ASSERT_EQ(RunTool({"format", Dir.Path(Image)}).Status, 0);
    for (size_t i = 0; i < Files.size(); ++i) {
        const std::string host = Dir.Path("host" + std::to_string(i));
        WriteBytes(host, RandomBytes(Files[i].Size, static_cast<unsigned>(Files[i].Size)));
        ASSERT_EQ(
            RunTool({"import", Dir.Path(Image), host, "--name", PetsciiToCliName(Files[i].Name)}).Status, 0);
    }
}

// The quoted names of a plain listing, as printed.
std::vector<std::string> ListedNames(const std::string& Image) {
    std::vector<std::string> names;
    const auto lines = Lines(RunTool({"list", Image}).Out);
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const size_t open = lines[i].find('"'), close = lines[i].rfind('"');
        names.push_back(lines[i].substr(open + 1, close - open - 1));
    }
    return names;
}

} // namespace

TEST(CopyTest, CopiesAllOrTheNamedFilesInListingOrder) {
    TTempDir dir;
    MakeImage(dir, "src.d64",
              {{"ALPHA", 300},
               {"BETA", 5000},
               {"\xC7"
                "AMMA",
                1}});
    ASSERT_EQ(RunTool({"format", dir.Path("all.d64")}).Status, 0);
    ASSERT_EQ(RunTool({"copy", dir.Path("src.d64"), dir.Path("all.d64")}).Status, 0);
    EXPECT_EQ(ListedNames(dir.Path("all.d64")), (std::vector<std::string>{"alpha", "beta", "Gamma"}));

    ASSERT_EQ(RunTool({"format", dir.Path("some.d64")}).Status, 0);
    ASSERT_EQ(RunTool({"copy", dir.Path("src.d64"), dir.Path("some.d64"), "Gamma", "alpha"}).Status, 0);
    EXPECT_EQ(ListedNames(dir.Path("some.d64")), (std::vector<std::string>{"alpha", "Gamma"}));
    // The copies hold the same bytes.
    ASSERT_EQ(RunTool({"export", dir.Path("some.d64"), dir.Root().string(), "alpha"}).Status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("alpha.prg")), RandomBytes(300, 300));
}

TEST(CopyTest, RefusalsLeaveTheDestinationUntouched) {
    TTempDir dir;
    MakeImage(dir, "src.d64", {{"ALPHA", 300}});
    MakeImage(dir, "dst.d64", {{"OLD", 10}});
    const ByteArray before = ReadBytes(dir.Path("dst.d64"));

    TRunResult r = RunTool({"copy", dir.Path("src.d64"), dir.Path("dst.d64"), "alpha", "nothere", "neither"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "File not found: \"nothere\", \"neither\"\n");
    EXPECT_EQ(ReadBytes(dir.Path("dst.d64")), before);

    r = RunTool({"copy", dir.Path("dst.d64"), dir.Path("dst.d64")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(ReadBytes(dir.Path("dst.d64")), before);

    ByteArray protectedImage = before;
    protectedImage[Header + 2] = 0x01;
    WriteBytes(dir.Path("dst.d64"), protectedImage);
    r = RunTool({"copy", dir.Path("src.d64"), dir.Path("dst.d64")});
    EXPECT_EQ(r.Err, "Disk is Soft Write Protected!\n");
    EXPECT_EQ(ReadBytes(dir.Path("dst.d64")), protectedImage);
    EXPECT_EQ(RunTool({"copy", dir.Path("src.d64"), dir.Path("dst.d64"), "--ignore-write-protection"}).Status,
              0);
}

TEST(ExportTest, WritesEachFilesExactBytes) {
    TTempDir dir;
    MakeImage(dir, "a.d64",
              {{"ONE", 254}, {"TWO", 255}, {"EMPTY", 0}, {"SL/ASH", 17}, {"..", 3}, {"\xC1\xC2\xC3", 4}});
    std::filesystem::create_directory(dir.Path("out"));
    const TRunResult r = RunTool({"export", dir.Path("a.d64"), dir.Path("out")});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadBytes(dir.Path("out/one.prg")), RandomBytes(254, 254));
    EXPECT_EQ(ReadBytes(dir.Path("out/two.prg")), RandomBytes(255, 255));
    EXPECT_TRUE(std::filesystem::exists(dir.Path("out/empty.prg")));
    EXPECT_EQ(ReadBytes(dir.Path("out/empty.prg")).size(), 0u);
    // Named as the command line spells the name; a slash or a leading dot is escaped, so the
    // file stays a visible one in the folder.
    EXPECT_EQ(ReadBytes(dir.Path("out/sl{$2F}ash.prg")), RandomBytes(17, 17));
    EXPECT_EQ(ReadBytes(dir.Path("out/{$2E}..prg")), RandomBytes(3, 3));
    EXPECT_EQ(ReadBytes(dir.Path("out/ABC.prg")), RandomBytes(4, 4));
}

// A change reaches the image in one durable save (its data synced before the rename,
// the folder after it); an export syncs each file and the folder once for them all.
TEST(ExportTest, EachCommandSyncsItsFilesAndTheFolderOnce) {
    TTempDir dir;
    MakeImage(dir, "a.d64", {{"ONE", 300}, {"TWO", 40}, {"THREE", 900}});
    ASSERT_EQ(RunTool({"format", dir.Path("b.d64")}).Status, 0);
    std::filesystem::create_directory(dir.Path("out"));
    std::map<std::string, int> syncs;
    HostFile::SetFaultHook([&syncs](const char* Operation) {
        ++syncs[Operation];
        return 0;
    });
    const auto Run = [&](const std::vector<std::string>& Args) {
        syncs.clear();
        EXPECT_EQ(RunTool(Args).Status, 0);
        return std::pair(syncs["fsync"], syncs["fsyncdir"]);
    };
    EXPECT_EQ(Run({"copy", dir.Path("a.d64"), dir.Path("b.d64")}), std::pair(1, 1));
    EXPECT_EQ(Run({"scratch", dir.Path("b.d64"), "two"}), std::pair(1, 1));
    EXPECT_EQ(Run({"export", dir.Path("a.d64"), dir.Path("out")}), std::pair(3, 1));
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(ReadBytes(dir.Path("out/three.prg")), RandomBytes(900, 900));
}

TEST(ExportTest, RefusesBeforeWritingAnything) {
    TTempDir dir;
    MakeImage(dir, "a.d64", {{"A", 10}, {"C", 30}});
    WriteBytes(dir.Path("again"), RandomBytes(20, 20));
    ASSERT_EQ(
        RunTool({"import", dir.Path("a.d64"), dir.Path("again"), "--name", "a", "--allow-duplicates"}).Status,
        0);
    std::filesystem::create_directory(dir.Path("out"));
    // The two files named "A" would both become a.prg.
    TRunResult r = RunTool({"export", dir.Path("a.d64"), dir.Path("out")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("out")));
    r = RunTool({"export", dir.Path("a.d64"), dir.Path("out"), "c", "d"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("out")));
    r = RunTool({"export", dir.Path("a.d64"), dir.Path("nowhere")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("nowhere")));
    EXPECT_EQ(RunTool({"export", dir.Path("a.d64"), dir.Path("out"), "c"}).Status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("out/c.prg")), RandomBytes(30, 30));
}

TEST(ExportTest, AFailedExportKeepsTheFileItWouldReplace) {
    TTempDir dir;
    MakeImage(dir, "a.d64", {{"ONE", 3000}});
    std::filesystem::create_directory(dir.Path("out"));
    WriteBytes(dir.Path("out/one.prg"), ByteArray(5000, 0x55));
    HostFile::SetFaultHook([](const char* Op) { return std::string(Op) == "write" ? ENOSPC : 0; });
    const TRunResult r = RunTool({"export", dir.Path("a.d64"), dir.Path("out")});
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Can't write file \"" + dir.Path("out/one.prg") + "\": No space left on device\n");
    EXPECT_EQ(ReadBytes(dir.Path("out/one.prg")), ByteArray(5000, 0x55));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("out")), {}), 1);
    ASSERT_EQ(RunTool({"export", dir.Path("a.d64"), dir.Path("out")}).Status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("out/one.prg")), RandomBytes(3000, 3000));
}

TEST(ScratchTest, ScratchKeepsNameAndDataDeleteWipesThem) {
    TTempDir dir;
    MakeImage(dir, "a.d64", {{"KEEP", 100}, {"GO", 600}, {"WIPE", 300}});
    ByteArray image = ReadBytes(dir.Path("a.d64"));
    const ByteArray goEntry = DirEntryBytes(image, 1, 1);
    const ByteArray wipeEntry = DirEntryBytes(image, 1, 2);
    const ByteArray goFirstSector(image.begin() + SectorOffset(goEntry[3], goEntry[4]),
                                  image.begin() + SectorOffset(goEntry[3], goEntry[4]) + 256);

    ASSERT_EQ(RunTool({"scratch", dir.Path("a.d64"), "go"}).Status, 0);
    image = ReadBytes(dir.Path("a.d64"));
    ByteArray scratched = goEntry;
    scratched[2] = 0;
    EXPECT_EQ(DirEntryBytes(image, 1, 1), scratched);
    EXPECT_EQ(ByteArray(image.begin() + SectorOffset(goEntry[3], goEntry[4]),
                        image.begin() + SectorOffset(goEntry[3], goEntry[4]) + 256),
              goFirstSector);

    ASSERT_EQ(RunTool({"delete", dir.Path("a.d64"), "wipe"}).Status, 0);
    image = ReadBytes(dir.Path("a.d64"));
    const ByteArray deleted = DirEntryBytes(image, 1, 2);
    EXPECT_EQ(ByteArray(deleted.begin() + 2, deleted.end()), ByteArray(30, 0));
    EXPECT_EQ(ByteArray(image.begin() + SectorOffset(wipeEntry[3], wipeEntry[4]),
                        image.begin() + SectorOffset(wipeEntry[3], wipeEntry[4]) + 256),
              ByteArray(256, 0));
    EXPECT_EQ(ListedNames(dir.Path("a.d64")), (std::vector<std::string>{"keep"}));
    EXPECT_EQ(Lines(RunTool({"list", dir.Path("a.d64")}).Out).back(), "663 BLOCKS FREE - 1 FILE(S) ON DISK");
}

TEST(ScratchTest, NamesAsListedPassBackUnchanged) {
    TTempDir dir;
    const std::vector<PetsciiString> odd = {"\x61\x41", "\xC1\x7E", "\x01[]\x5C", "-X"};
    std::vector<TImageFile> files;
    for (const auto& n : odd)
        files.push_back({n, 10});
    files.push_back({"STAY", 10});
    MakeImage(dir, "a.d64", files);
    std::vector<std::string> args = {"delete", dir.Path("a.d64"), "--"};
    const auto listed = ListedNames(dir.Path("a.d64"));
    ASSERT_EQ(listed.size(), odd.size() + 1);
    args.insert(args.end(), listed.begin(), listed.end() - 1);
    const TRunResult r = RunTool(args);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ListedNames(dir.Path("a.d64")), (std::vector<std::string>{"stay"}));
}

TEST(ScratchTest, NamesCountUpToTheShiftedSpaceAndSeveralMatchesNeedAll) {
    TTempDir dir;
    MakeImage(dir, "src.d64", {{"HELLO", 10}});
    MakeImage(dir, "dst.d64", {{"HELLO", 20}, {"KEEP", 5}});
    const std::string dst = dir.Path("dst.d64");
    WriteBytes(dir.Path("x.prg"), RandomBytes(30, 1));
    const ByteArray before = ReadBytes(dst);
    // Import and copy refuse a name already on the disk, in the same words.
    EXPECT_EQ(RunTool({"import", dst, dir.Path("x.prg"), "--name", "hello{$A0}x"}).Err,
              "FILE EXISTS: \"hello{$A0}x\" (use --allow-duplicates to add it anyway)\n");
    EXPECT_EQ(RunTool({"copy", dir.Path("src.d64"), dst}).Err,
              "FILE EXISTS: \"hello\" (use --allow-duplicates to add it anyway)\n");
    EXPECT_EQ(ReadBytes(dst), before);
    RunTool({"import", dst, dir.Path("x.prg"), "--name", "hello{$A0}x", "--allow-duplicates"});
    RunTool({"copy", dir.Path("src.d64"), dst, "--allow-duplicates"});

    // Now "hello" names three files: none is taken without --all.
    const ByteArray three = ReadBytes(dst);
    std::filesystem::create_directory(dir.Path("out"));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"scratch", dst, "hello"},
                                                 {"delete", dst, "keep", "hello"},
                                                 {"export", dst, dir.Path("out"), "hello"}})
        EXPECT_EQ(RunTool(args).Err, "\"hello\" names 3 files (use --all to take all of them)\n");
    EXPECT_EQ(ReadBytes(dst), three);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("out")));
    ASSERT_EQ(RunTool({"delete", dst, "hello", "--all"}).Status, 0);
    EXPECT_EQ(ListedNames(dst), (std::vector<std::string>{"keep"}));
}

TEST(ScratchTest, RefusalsChangeNothing) {
    TTempDir dir;
    MakeImage(dir, "a.d64", {{"ONE", 10}, {"TWO", 10}});
    const ByteArray before = ReadBytes(dir.Path("a.d64"));
    // One missing name stops the whole command.
    TRunResult r = RunTool({"scratch", dir.Path("a.d64"), "one", "three"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "File not found: \"three\"\n");
    EXPECT_EQ(ReadBytes(dir.Path("a.d64")), before);

    // A looping chain in the second file: the first is not scratched either.
    ByteArray looped = before;
    const ByteArray two = DirEntryBytes(before, 1, 1);
    looped[SectorOffset(two[3], two[4])] = two[3];
    looped[SectorOffset(two[3], two[4]) + 1] = two[4];
    WriteBytes(dir.Path("a.d64"), looped);
    r = RunTool({"delete", dir.Path("a.d64"), "one", "two"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(
        r.Err,
        "Can't scratch file(s) because of an invalid file-chain!\r\nValidate the disk and try it again.\n");
    EXPECT_EQ(ReadBytes(dir.Path("a.d64")), looped);

    ByteArray protectedImage = before;
    protectedImage[Header + 2] = 0x01;
    WriteBytes(dir.Path("a.d64"), protectedImage);
    r = RunTool({"delete", dir.Path("a.d64"), "one"});
    EXPECT_EQ(r.Err, "Disk is Soft Write Protected!\n");
    EXPECT_EQ(ReadBytes(dir.Path("a.d64")), protectedImage);
    ASSERT_EQ(RunTool({"delete", dir.Path("a.d64"), "one", "--ignore-write-protection"}).Status, 0);
    EXPECT_EQ(ListedNames(dir.Path("a.d64")), (std::vector<std::string>{"two"}));
}

TEST(ReorderCommandsTest, RenameSortAndMoveChangeOnlyTheDirectory) {
    TTempDir dir;
    const std::string image = dir.Path("r.d64");
    MakeImage(dir, "r.d64", {{"ZETA", 600}, {"ALPHA", 100}, {"MU", 1200}});
    const ByteArray before = ReadBytes(image);

    EXPECT_EQ(RunTool({"rename", image, "alpha", "mu"}).Err,
              "FILE EXISTS: \"mu\" (use --allow-duplicates to rename anyway)\n");
    EXPECT_EQ(RunTool({"rename", image, "beta", "x"}).Err, "File not found: \"beta\"\n");
    EXPECT_EQ(RunTool({"rename", image, "alpha", "seventeen letters"}).Status, 1);
    EXPECT_EQ(ReadBytes(image), before);
    ASSERT_EQ(RunTool({"rename", image, "alpha", "Beta"}).Status, 0);
    EXPECT_EQ(ListedNames(image), (std::vector<std::string>{"zeta", "Beta", "mu"}));

    ASSERT_EQ(RunTool({"sort", image, "--by", "size"}).Status, 0);
    EXPECT_EQ(ListedNames(image), (std::vector<std::string>{"Beta", "zeta", "mu"}));
    ASSERT_EQ(RunTool({"sort", image, "--by=name"}).Status, 0);
    EXPECT_EQ(ListedNames(image), (std::vector<std::string>{"mu", "zeta", "Beta"})); // 0x4D < 0x5A < 0xC2
    ASSERT_EQ(RunTool({"move", image, "Beta", "1"}).Status, 0);
    EXPECT_EQ(ListedNames(image), (std::vector<std::string>{"Beta", "mu", "zeta"}));
    ASSERT_EQ(RunTool({"move", image, "Beta", "9"}).Status, 0);
    EXPECT_EQ(ListedNames(image), (std::vector<std::string>{"mu", "zeta", "Beta"}));

    // Outside the directory sector's slot bodies, and the BAM, nothing changed.
    const ByteArray after = ReadBytes(image);
    for (uint32_t i = 0; i < after.size(); ++i)
        if (i < SectorOffset(18, 1) || i >= SectorOffset(18, 2) || i % 32 < 2)
            ASSERT_EQ(after[i], before[i]) << "byte " << i;

    EXPECT_EQ(RunTool({"sort", image}).Status, 2);
    EXPECT_EQ(RunTool({"sort", image, "--by", "date"}).Status, 2);
    EXPECT_EQ(RunTool({"move", image, "mu", "0"}).Status, 2);
}
