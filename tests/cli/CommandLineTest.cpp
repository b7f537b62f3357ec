// Reading d64tool's arguments, and the usage errors it answers with exit status 2.
#include "CommandLine.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

using namespace cli_test;

TEST(CommandLineTest, OptionsMayStandAnywhereAndTakeValuesBothWays) {
    const TCommandLine line = TCommandLine::Parse({"import", "--type=rel", "img.d64", "--record-length", "64",
                                                   "a.bin", "--name", "x", "--ignore-write-protection"});
    EXPECT_EQ(line.Command, TCliCommand::Import);
    EXPECT_EQ(line.Operands, (std::vector<std::string>{"img.d64", "a.bin"}));
    EXPECT_EQ(line.Type, fkRel);
    EXPECT_EQ(line.RecordLength, 64);
    EXPECT_EQ(line.Name, "x");
    EXPECT_TRUE(line.IgnoreWriteProtection);

    // After "--" a name that starts with a dash is an operand.
    const TCommandLine scratch = TCommandLine::Parse({"scratch", "img.d64", "--", "--json", "-x"});
    EXPECT_EQ(scratch.Operands, (std::vector<std::string>{"img.d64", "--json", "-x"}));

    const TCommandLine format =
        TCommandLine::Parse({"format", "n.d64", "--tracks", "40", "--dos", "Dolphin"});
    EXPECT_EQ(format.Tracks, 40);
    EXPECT_EQ(format.Dos, deDolphinDos);
}

TEST(CommandLineTest, MalformedLinesExitWithTheCommandsUsage) {
    struct TCase {
        std::vector<std::string> Args;
        std::string UsagePrefix;
    };
    const std::vector<TCase> cases = {
        {{}, "usage:\n"},
        {{"frobnicate", "x.d64"}, "usage:\n"},
        {{"list"}, "usage: d64tool list "},
        {{"list", "a.d64", "b.d64"}, "usage: d64tool list "},
        {{"list", "a.d64", "--force"}, "usage: d64tool list "},
        {{"format", "a.d64", "--tracks", "36"}, "usage: d64tool format "},
        {{"format", "a.d64", "--tracks"}, "usage: d64tool format "},
        {{"format", "a.d64", "--dos", "prologic"}, "usage: d64tool format "},
        {{"format", "a.d64", "--error-bytes=1"}, "usage: d64tool format "},
        {{"import", "a.d64", "f", "--type", "rel"}, "usage: d64tool import "},
        {{"import", "a.d64", "f", "--record-length", "10"}, "usage: d64tool import "},
        {{"import", "a.d64", "f", "--type", "rel", "--record-length", "255"}, "usage: d64tool import "},
        {{"import", "a.d64", "f", "g", "--name", "x"}, "usage: d64tool import "},
        {{"scratch", "a.d64"}, "usage: d64tool scratch "},
        {{"export", "a.d64", "--ignore-write-protection", "dir"}, "usage: d64tool export "},
    };
    for (const auto& c : cases) {
        const TRunResult r = RunTool(c.Args);
        std::string joined;
        for (const auto& a : c.Args)
            joined += a + " ";
        EXPECT_EQ(r.Status, 2) << joined;
        EXPECT_NE(r.Err.find(c.UsagePrefix), std::string::npos) << joined << "\n" << r.Err;
        EXPECT_TRUE(r.Out.empty()) << joined;
    }
}

TEST(CommandLineTest, NamesOutsideTheConventionAreUsageErrors) {
    TTempDir dir;
    ASSERT_EQ(RunTool({"format", dir.Path("a.d64")}).Status, 0);
    const ByteArray before = ReadBytes(dir.Path("a.d64"));
    const TRunResult r = RunTool({"scratch", dir.Path("a.d64"), "bad_name"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("'_'"), std::string::npos) << r.Err;
    EXPECT_EQ(ReadBytes(dir.Path("a.d64")), before);
}

TEST(CommandLineTest, HelpGoesToStandardOutput) {
    const TRunResult all = RunTool({"--help"});
    EXPECT_EQ(all.Status, 0);
    EXPECT_NE(all.Out.find("d64tool bam IMAGE"), std::string::npos);
    const TRunResult one = RunTool({"export", "-h"});
    EXPECT_EQ(one.Status, 0);
    EXPECT_EQ(one.Out.rfind("usage: d64tool export IMAGE DIR", 0), 0u) << one.Out;
}
