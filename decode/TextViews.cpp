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
    char Text[16];
    std::snprintf(Text, sizeof Text, "%04X ", Row.Address);
    std::string Line = Text;
    for (int i = 0; i < Width; ++i) {
        if (i % 8 == 0) Line += ' ';
        if (static_cast<size_t>(i) < Row.Bytes.size()) {
            std::snprintf(Text, sizeof Text, "%02X ",
                          static_cast<uint8_t>(Row.Bytes[static_cast<size_t>(i)]));
            Line += Text;
        } else {
            Line += "   ";
        }
    }
    return Line;
}
