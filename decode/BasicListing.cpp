// The BASIC V2 detokeniser.
#include "BasicListing.h"

#include <algorithm>
#include <cstdio>

namespace {

// Tokens 0x80 to 0xCB in order, as the ROM's keyword table spells them ('^' is PETSCII's
// up arrow).
const char* const Keywords[] = {
    "END",  "FOR",     "NEXT",   "DATA",   "INPUT#", "INPUT", "DIM",   "READ",   "LET",  "GOTO", "RUN",
    "IF",   "RESTORE", "GOSUB",  "RETURN", "REM",    "STOP",  "ON",    "WAIT",   "LOAD", "SAVE", "VERIFY",
    "DEF",  "POKE",    "PRINT#", "PRINT",  "CONT",   "LIST",  "CLR",   "CMD",    "SYS",  "OPEN", "CLOSE",
    "GET",  "NEW",     "TAB(",   "TO",     "FN",     "SPC(",  "THEN",  "NOT",    "STEP", "+",    "-",
    "*",    "/",       "^",      "AND",    "OR",     ">",     "=",     "<",      "SGN",  "INT",  "ABS",
    "USR",  "FRE",     "POS",    "SQR",    "RND",    "LOG",   "EXP",   "COS",    "SIN",  "TAN",  "ATN",
    "PEEK", "LEN",     "STR$",   "VAL",    "ASC",    "CHR$",  "LEFT$", "RIGHT$", "MID$", "GO",
};
constexpr uint8_t FirstToken = 0x80;
constexpr uint8_t LastToken = FirstToken + std::size(Keywords) - 1;

std::string Hex4(uint32_t Value) {
    char Text[12];
    std::snprintf(Text, sizeof Text, "$%04X", Value);
    return Text;
}

// The bytes of one line after its number, as LIST prints them: tokens outside quotes as
// their keywords, everything else as it is.
std::string DetokeniseLine(const uint8_t* Begin, const uint8_t* End) {
    std::string Text;
    bool Quoted = false;
    for (const uint8_t* p = Begin; p != End; ++p) {
        // Inside quotes LIST prints every byte as it is; outside, only the quote mark
        // toggles anything (a REM does not: its shifted characters list as keywords).
        if (*p == '"') Quoted = !Quoted;
        if (!Quoted && *p >= FirstToken && *p <= LastToken)
            Text += Keywords[*p - FirstToken];
        else
            Text += static_cast<char>(*p);
    }
    return Text;
}

} // namespace

TBasicListing DecodeBasic(const std::vector<uint8_t>& File) {
    TBasicListing Listing;
    if (File.size() < 2) {
        Listing.BrokenNote = "NO LOAD ADDRESS";
        return Listing;
    }
    Listing.LoadAddress = static_cast<uint16_t>(File[0] | File[1] << 8);
    const auto AddressOf = [&](size_t Offset) {
        return static_cast<uint32_t>(Listing.LoadAddress + Offset - 2);
    };
    size_t Pos = 2;
    while (true) {
        if (Pos + 2 > File.size()) {
            Listing.BrokenNote = "NO END MARKER: THE FILE ENDS AT " + Hex4(AddressOf(File.size()));
            return Listing;
        }
        const unsigned Link = File[Pos] | File[Pos + 1] << 8;
        // A link without a high byte ends the program, as it ends LIST on the C64.
        if (Link >> 8 == 0) break;
        if (Pos + 4 > File.size()) {
            Listing.BrokenNote = "LINE CUT SHORT AT " + Hex4(AddressOf(Pos));
            return Listing;
        }
        const unsigned Number = File[Pos + 2] | File[Pos + 3] << 8;
        const uint8_t* const Begin = File.data() + Pos + 4;
        const uint8_t* const End = File.data() + File.size();
        const uint8_t* const Zero = std::find(Begin, End, 0);
        Listing.Lines.push_back(std::to_string(Number) + " " + DetokeniseLine(Begin, Zero));
        if (Zero == End) {
            Listing.BrokenNote = "LINE " + std::to_string(Number) + " RUNS PAST THE END OF THE FILE";
            return Listing;
        }
        const size_t Next = static_cast<size_t>(Zero - File.data()) + 1;
        if (Link != AddressOf(Next)) {
            Listing.BrokenNote = "LINE " + std::to_string(Number) + " LINKS TO " + Hex4(Link) +
                                 ", NOT TO THE NEXT LINE AT " + Hex4(AddressOf(Next));
            return Listing;
        }
        Pos = Next;
    }
    Listing.TrailingAddress = AddressOf(Pos + 2);
    Listing.TrailingLength = File.size() - std::min(File.size(), Pos + 2);
    return Listing;
}

std::vector<std::string> TBasicListing::ViewLines() const {
    std::vector<std::string> View;
    View.reserve(Lines.size() + 3);
    View.push_back("; LOAD ADDRESS " + Hex4(LoadAddress));
    View.insert(View.end(), Lines.begin(), Lines.end());
    if (!BrokenNote.empty())
        View.push_back("; " + BrokenNote + ": THE LISTING ENDS HERE");
    else if (TrailingLength > 0)
        View.push_back("; MACHINE CODE AFTER THE BASIC END AT " + Hex4(TrailingAddress) + ", " +
                       std::to_string(TrailingLength) + " BYTES");
    return View;
}
