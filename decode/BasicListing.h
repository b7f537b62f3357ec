// TBasicListing: a BASIC V2 program file detokenised as the C64's LIST shows it, line by
// line, with what ends it: the end marker (and any machine code after it) or a line whose
// link does not point to the line after it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TBasicListing {
    uint16_t LoadAddress = 0;
    // Each line as LIST prints it: number, space, keywords and characters (PETSCII).
    std::vector<std::string> Lines;
    // Why the listing stops before an end marker; empty when the chain ended at one.
    std::string BrokenNote;
    // Where the bytes after the end marker load, and how many there are.
    uint32_t TrailingAddress = 0;
    size_t TrailingLength = 0;

    // The lines with the load address before them and the notes after them ("; ...").
    std::vector<std::string> ViewLines() const;
};

// File is the whole program file, its two-byte load address first.
TBasicListing DecodeBasic(const std::vector<uint8_t>& File);