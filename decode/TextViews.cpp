// PETSCII lines and hex rows.
#include "TextViews.h"

#include <algorithm>
#include <cstdio>

std::vector<std::string> PetsciiLines(const std::vector<uint8_t>& Bytes, size_t From) {
    std::vector<std::string> Lines;
    std::string Line;
    bool Open = false;
    for (size_t i = From; i < Bytes.size(); ++i) {
        const uint8_t Byte = Bytes[i];
        if (Byte == 0x0D || Byte == 0x8D) {
            Lines.push_back(std::move(Line));
            Line.clear();
            Open = false;
        } else {
            Line += static_cast<char>(Byte);
            Open = true;
        }
    }
    if (Open) Lines.push_back(std::move(Line));
    return Lines;
}

std::vector<THexRow> HexRows(const std::vector<uint8_t>& Bytes, size_t From, uint32_t FirstAddress,
                             int Width) {
    std::vector<THexRow> Rows;
    const auto Step = static_cast<size_t>(Width);
    Rows.reserve(Bytes.size() > From ? (Bytes.size() - From + Step - 1) / Step : 0);
    for (size_t i = From; i < Bytes.size(); i += Step) {
        THexRow Row;
        Row.Address = FirstAddress + static_cast<uint32_t>(i - From);
        Row.Bytes.assign(Bytes.begin() + static_cast<std::ptrdiff_t>(i),
                         Bytes.begin() + static_cast<std::ptrdiff_t>(std::min(i + Step, Bytes.size())));
        Rows.push_back(std::move(Row));
    }
    return Rows;
}

std::string HexRowText(const THexRow& Row, int Width) {
    static const char Digits[] = "0123456789ABCDEF";
    char Address[16];
    std::snprintf(Address, sizeof Address, "%04X ", Row.Address);
    std::string Line = Address;
    Line.reserve(Line.size() + static_cast<size_t>(Width) * 3 + static_cast<size_t>(Width) / 8);
    for (size_t i = 0; i < static_cast<size_t>(Width); ++i) {
        if (i % 8 == 0) Line += ' ';
        if (i < Row.Bytes.size()) {
            const auto Byte = static_cast<uint8_t>(Row.Bytes[i]);
            Line += Digits[Byte >> 4];
            Line += Digits[Byte & 0x0F];
            Line += ' ';
        } else {
            Line += "   ";
        }
    }
    return Line;
}
