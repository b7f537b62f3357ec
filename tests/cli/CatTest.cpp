// d64tool cat: a BASIC program and a text file printed as UTF-8, and the raw bytes.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

using namespace cli_test;

TEST(CatTest, BasicListingTextAndRawBytes) {
    TTempDir dir;
    const std::string image = dir.Path("cat.d64");
    ASSERT_EQ(RunTool({"format", image}).Status, 0);
    // 10 PRINT"{CLR}HI♠":GOTO10, then three bytes of machine code.
    const ByteArray program = {0x01, 0x08, 0x11, 0x08, 0x0A, 0x00, 0x99, '"',  0x93, 'H',  'I', 0xC1,
                               '"',  ':',  0x89, '1',  '0',  0x00, 0x00, 0x00, 0xA9, 0x00, 0x60};
    const ByteArray text = {0x0E, 'H', 'E', 'L', 'L', 'O', 0x0D, 0xC1, 0x5C, 0x0D};
    WriteBytes(dir.Path("hello.prg"), program);
    WriteBytes(dir.Path("readme.seq"), text);
    ASSERT_EQ(RunTool({"import", image, dir.Path("hello.prg"), dir.Path("readme.seq")}).Status, 0);

    TRunResult r = RunTool({"cat", image, "hello"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "; LOAD ADDRESS $0801\n"
                     "10 PRINT\"{$93}HI\u2660\":GOTO10\n"
                     "; MACHINE CODE AFTER THE BASIC END AT $0813, 3 BYTES\n");
    r = RunTool({"cat", image, "hello", "--hex"});
    EXPECT_EQ(Lines(r.Out).back(), "0811  00 00 A9 00 60" + std::string(36, ' ') + "..\u25E4.\u2500");

    // A SEQ file opens as text; --lower takes the other character set.
    EXPECT_EQ(RunTool({"cat", image, "readme"}).Out, "{$0E}HELLO\n\u2660\u00A3\n");
    EXPECT_EQ(RunTool({"cat", image, "readme", "--lower"}).Out, "{$0E}hello\nA\u00A3\n");
    r = RunTool({"cat", image, "hello", "--raw"});
    EXPECT_EQ(ByteArray(r.Out.begin(), r.Out.end()), program);

    r = RunTool({"cat", image, "hello", "--text", "--hex"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(Lines(r.Err).front(), "d64tool: only one of --basic, --text, --hex and --raw");
}
