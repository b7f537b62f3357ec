// The text and hex views of a file's bytes: PETSCII lines cut at the carriage returns, and
// rows of an address, hex bytes and the bytes themselves (for their characters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes from From on, cut into lines at each carriage return ($0D, and shifted $8D, which
// the C64 also prints as a line end). Every other byte stays in its line as it is: colour
// and cursor codes show as the C64 shows them inside quotes. A last line end closes the
// last line rather than opening an empty one.
std::vector<std::string> PetsciiLines(const std::vector<uint8_t>& Bytes, size_t From);

struct THexRow {
    uint32_t Address = 0;
    std::string Bytes; // at most the row's width
};

// Bytes from From on, Width a row, the first at FirstAddress.
std::vector<THexRow> HexRows(const std::vector<uint8_t>& Bytes, size_t From, uint32_t FirstAddress,
                             int Width);
// "0801  0B 08 0A 00 ..  " : the address (four hex digits or more), the bytes in groups of
// eight, padded to the row's width so that the characters after it line up.
std::string HexRowText(const THexRow& Row, int Width);
