// d64tool validate: one line per finding, the exit status, and the repair's one write.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

using namespace cli_test;

namespace {

const uint32_t Header = 91392;

// An image with files a (12 blocks) and b (2 blocks); b's last sector is made to link
// into a, and track 17 (where both lie) is marked free in the BAM.
std::string DamagedImage(const TTempDir& Dir) {
    const std::string image = Dir.Path("x.d64");
    EXPECT_EQ(RunTool({"format", image}).Status, 0);
    WriteBytes(Dir.Path("a.prg"), RandomBytes(3000, 1));
    WriteBytes(Dir.Path("b.prg"), RandomBytes(300, 2));
    EXPECT_EQ(RunTool({"import", image, Dir.Path("a.prg"), Dir.Path("b.prg")}).Status, 0);
    ByteArray bytes = ReadBytes(image);
    const ByteArray a = DirEntryBytes(bytes, 1, 0), b = DirEntryBytes(bytes, 1, 1);
    const uint32_t bFirst = SectorOffset(b[3], b[4]);
    const uint32_t bLast = SectorOffset(bytes[bFirst], bytes[bFirst + 1]);
    bytes[bLast] = a[3];
    bytes[bLast + 1] = a[4];
    const uint8_t allFree[4] = {21, 0xFF, 0xFF, 0x1F};
    std::copy(allFree, allFree + 4, bytes.begin() + Header + 4 * 17);
    WriteBytes(image, bytes);
    return image;
}

TEST(ValidateCommandTest, ReportsRepairsTheBamAndLeavesTheCrossLinkReported) {
    TTempDir dir;
    const std::string image = DamagedImage(dir);
    const ByteArray damaged = ReadBytes(image);
    const TRunResult found = RunTool({"validate", image});
    EXPECT_EQ(found.Status, 1);
    EXPECT_EQ(ReadBytes(image), damaged);
    const auto lines = Lines(found.Out);
    ASSERT_EQ(lines.size(), 1u + 14u); // the cross-link, and each sector of a and b on track 17
    EXPECT_EQ(lines[0].rfind("cross-link \"b\" 17/", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(": links to 17/0 of \"a\""), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "free-in-use \"a\" 17/0: free in the BAM, but in use");

    const TRunResult repaired = RunTool({"validate", image, "--repair", "--json"});
    EXPECT_EQ(repaired.Status, 0) << repaired.Err;
    EXPECT_NE(repaired.Out.find("\"kind\": \"cross-link\", \"file\": \"b\""), std::string::npos);
    EXPECT_NE(repaired.Out.find("\"repaired\": false}"), std::string::npos);
    EXPECT_NE(repaired.Out.find("\"repaired\": true}"), std::string::npos);
    // What remains is only reported.
    const TRunResult after = RunTool({"validate", image});
    EXPECT_EQ(after.Status, 1);
    EXPECT_EQ(Lines(after.Out).size(), 1u);
    EXPECT_EQ(RunTool({"validate", image, "--repair"}).Status, 0);
    EXPECT_EQ(ReadBytes(image)[Header + 4 * 17], 21 - 14);
}

TEST(ValidateCommandTest, AConsistentImageSaysNothingAndABrokenDirectoryIsNotRepaired) {
    TTempDir dir;
    const std::string image = dir.Path("y.d64");
    ASSERT_EQ(RunTool({"format", image}).Status, 0);
    const TRunResult clean = RunTool({"validate", image});
    EXPECT_EQ(clean.Status, 0);
    EXPECT_EQ(clean.Out, "");

    ByteArray bytes = ReadBytes(image);
    bytes[SectorOffset(18, 1)] = 18; // the directory links to itself
    bytes[SectorOffset(18, 1) + 1] = 1;
    WriteBytes(image, bytes);
    const TRunResult broken = RunTool({"validate", image, "--repair"});
    EXPECT_EQ(broken.Status, 1);
    EXPECT_EQ(broken.Out, "directory: Directory chain loops back to T:18/S:1!\n");
    EXPECT_EQ(ReadBytes(image), bytes);
}

} // namespace

TEST(UnscratchCommandTest, BringsBackAScratchedFileByNameAndRefusesAMissingOne) {
    TTempDir dir;
    const std::string image = dir.Path("u.d64");
    ASSERT_EQ(RunTool({"format", image}).Status, 0);
    WriteBytes(dir.Path("a.prg"), RandomBytes(1000, 1));
    ASSERT_EQ(RunTool({"import", image, dir.Path("a.prg")}).Status, 0);
    const ByteArray original = ReadBytes(image);
    ASSERT_EQ(RunTool({"scratch", image, "a"}).Status, 0);
    const ByteArray scratched = ReadBytes(image);

    const TRunResult missing = RunTool({"unscratch", image, "b"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "No scratched file \"b\"\n");
    EXPECT_EQ(ReadBytes(image), scratched);
    EXPECT_EQ(RunTool({"unscratch", image, "a"}).Status, 0);
    EXPECT_EQ(ReadBytes(image), original);
}
