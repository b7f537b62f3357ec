// The BASIC detokeniser, the text views and the Unicode mapping on programs and text built
// here byte by byte, as the C64 stores them.
#include "BasicListing.h"
#include "FileViews.h"
#include "PetsciiUnicode.h"
#include "TextViews.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

using Bytes = std::vector<uint8_t>;

struct TLine {
    unsigned Number;
    Bytes Body; // tokens and characters, without the end zero
};

// A program at Load: each line linked to the next, then the end marker and Tail.
Bytes Program(uint16_t Load, const std::vector<TLine>& Lines, const Bytes& Tail = {}) {
    Bytes File = {static_cast<uint8_t>(Load & 0xFF), static_cast<uint8_t>(Load >> 8)};
    unsigned Address = Load;
    for (const TLine& Line : Lines) {
        Address += 4 + static_cast<unsigned>(Line.Body.size()) + 1;
        File.insert(File.end(),
                    {static_cast<uint8_t>(Address & 0xFF), static_cast<uint8_t>(Address >> 8),
                     static_cast<uint8_t>(Line.Number & 0xFF), static_cast<uint8_t>(Line.Number >> 8)});
        File.insert(File.end(), Line.Body.begin(), Line.Body.end());
        File.push_back(0);
    }
    File.insert(File.end(), {0, 0});
    File.insert(File.end(), Tail.begin(), Tail.end());
    return File;
}

Bytes Text(const std::string& Characters) {
    return Bytes(Characters.begin(), Characters.end());
}

} // namespace

TEST(BasicListingTest, EveryTokenListsAsItsKeywordOutsideQuotesOnly) {
    // The C64's keyword table, token 0x80 on ('^' is the up arrow, PETSCII 0x5E).
    std::istringstream Table(
        "END FOR NEXT DATA INPUT# INPUT DIM READ LET GOTO RUN IF RESTORE GOSUB RETURN "
        "REM STOP ON WAIT LOAD SAVE VERIFY DEF POKE PRINT# PRINT CONT LIST CLR CMD SYS "
        "OPEN CLOSE GET NEW TAB( TO FN SPC( THEN NOT STEP + - * / ^ AND OR > = < SGN INT "
        "ABS USR FRE POS SQR RND LOG EXP COS SIN TAN ATN PEEK LEN STR$ VAL ASC CHR$ "
        "LEFT$ RIGHT$ MID$ GO");
    const std::vector<std::string> Rom{std::istream_iterator<std::string>(Table), {}};
    ASSERT_EQ(Rom.size(), 0xCCu - 0x80u);
    std::vector<TLine> Lines;
    for (unsigned Token = 0x80; Token <= 0xCB; ++Token)
        // The token, then the same byte inside quotes, where it stays a character.
        Lines.push_back({Token, {static_cast<uint8_t>(Token), '"', static_cast<uint8_t>(Token), '"'}});
    const TBasicListing Listing = DecodeBasic(Program(0x0801, Lines));
    ASSERT_EQ(Listing.Lines.size(), Rom.size());
    for (unsigned Token = 0x80; Token <= 0xCB; ++Token)
        EXPECT_EQ(Listing.Lines[Token - 0x80],
                  std::to_string(Token) + " " + Rom[Token - 0x80] + "\"" + static_cast<char>(Token) + "\"")
            << "token " << Token;
    EXPECT_TRUE(Listing.BrokenNote.empty());
}

TEST(BasicListingTest, QuotesControlCodesAndRemListAsOnTheC64) {
    const Bytes File =
        Program(0x0801, {
                            // PRINT "{CLR}{WHT}A{RVS ON}" : GOTO 10  -- codes inside quotes stay bytes
                            {10, {0x99, '"', 0x93, 0x05, 'A', 0x12, '"', ':', 0x89, '1', '0'}},
                            // an unclosed quote runs to the end of its line only
                            {20, {0x99, '"', 0x80, 0xFF}},
                            // outside quotes again; REM does not stop the keywords, pi stays pi
                            {30, {0x8F, ' ', 0xC1, 0xFF, 0xCC}},
                        });
    const TBasicListing Listing = DecodeBasic(File);
    EXPECT_EQ(Listing.LoadAddress, 0x0801);
    EXPECT_EQ(Listing.Lines, (std::vector<std::string>{"10 PRINT\"\x93\x05"
                                                       "A\x12\":GOTO10",
                                                       "20 PRINT\"\x80\xFF", "30 REM ATN\xFF\xCC"}));
    EXPECT_EQ(Listing.ViewLines().front(), "; LOAD ADDRESS $0801");
    EXPECT_EQ(Listing.ViewLines().size(), 4u); // no machine code, nothing broken
    EXPECT_EQ(FittingView(File, TViewedType::Program), TViewKind::Basic);
    // In UTF-8: the codes the C64 shows reversed are spelled out, pi is pi.
    EXPECT_EQ(PetsciiToUtf8(Listing.Lines[0], TCharSet::UpperGraphic), "10 PRINT\"{$93}{$05}A{$12}\":GOTO10");
    EXPECT_EQ(PetsciiToUtf8(Listing.Lines[2], TCharSet::UpperGraphic), "30 REM ATN\u03C0\U0001FB7C");
}

TEST(BasicListingTest, BrokenChainEndsTheListingWithANote) {
    // Line 20's link points back at line 10: the listing stops after it.
    const Bytes Chained = Program(0x0801, {{10, Text("A")}, {20, Text("B")}, {30, Text("C")}});
    Bytes File = Chained;
    File[2 + 6] = 0x01; // line 20's link, at $0807
    File[2 + 7] = 0x08;
    TBasicListing Listing = DecodeBasic(File);
    EXPECT_EQ(Listing.Lines, (std::vector<std::string>{"10 A", "20 B"}));
    EXPECT_EQ(Listing.ViewLines().back(),
              "; LINE 20 LINKS TO $0801, NOT TO THE NEXT LINE AT $080D: THE LISTING ENDS HERE");
    // A first line that does not chain is no BASIC program to open on.
    Bytes Machine = Program(0x0801, {{10, Text("A")}});
    Machine[3] = 0x20;
    EXPECT_EQ(FittingView(Machine, TViewedType::Program), TViewKind::Hex);

    // A line without its end zero, and a program cut before its end marker.
    Listing = DecodeBasic({0x01, 0x08, 0x10, 0x08, 0x0A, 0x00, 'X', 'Y'});
    EXPECT_EQ(Listing.Lines, std::vector<std::string>{"10 XY"});
    EXPECT_EQ(Listing.BrokenNote, "LINE 10 RUNS PAST THE END OF THE FILE");
    Listing = DecodeBasic(Bytes(Chained.begin(), Chained.end() - 2));
    EXPECT_EQ(Listing.BrokenNote, "NO END MARKER: THE FILE ENDS AT $0813");

    // Machine code after the end marker: its address and length.
    Listing = DecodeBasic(Program(0x0801, {{10, {0x9E, '2', '0', '6', '1'}}}, Bytes(300, 0xEA)));
    EXPECT_EQ(Listing.ViewLines().back(), "; MACHINE CODE AFTER THE BASIC END AT $080D, 300 BYTES");
}

TEST(TextViewTest, LinesHexRowsAndBothCharacterSets) {
    const Bytes Seq = {0x0E, 'H', 0xC9, 0x0D, 0x05, 0x5C, 0x8D, 0x0D, 0x60, 0xFF, 0x0D};
    const std::vector<std::string> Lines = PetsciiLines(Seq, 0);
    ASSERT_EQ(Lines.size(), 4u); // the last return closes "\x60\xFF", the one before it an empty line
    EXPECT_EQ(PetsciiToUtf8(Lines[0], TCharSet::UpperGraphic), "{$0E}H\u256E");
    EXPECT_EQ(PetsciiToUtf8(Lines[0], TCharSet::LowerUpper), "{$0E}hI");
    EXPECT_EQ(PetsciiToUtf8(Lines[1], TCharSet::UpperGraphic), "{$05}\u00A3");
    EXPECT_EQ(Lines[2], "");
    EXPECT_EQ(PetsciiToUtf8(Lines[3], TCharSet::UpperGraphic), "\u2500\u03C0");
    EXPECT_EQ(PetsciiToUtf8(Lines[3], TCharSet::LowerUpper), "\u2500\U0001FB96");

    const std::vector<THexRow> Rows = HexRows(Seq, 2, 0xC000, 8);
    ASSERT_EQ(Rows.size(), 2u);
    EXPECT_EQ(HexRowText(Rows[0], 8), "C000  C9 0D 05 5C 8D 0D 60 FF ");
    EXPECT_EQ(HexRowText(Rows[1], 16), "C008  0D" + std::string(47, ' '));
    EXPECT_EQ(Rows[1].Bytes, "\x0D");
}
