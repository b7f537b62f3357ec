// PETSCII field conversions. Bytes are never translated; only padding and cutting.
#include "c64disk.h"

#include <cstdio>

void StringToPetscii(const PetsciiString& Text, uint8_t* Field, int LastIndex) {
    for (int i = 0; i <= LastIndex; ++i)
        Field[i] = 0xA0;
    const size_t n = std::min(Text.size(), static_cast<size_t>(LastIndex + 1));
    for (size_t i = 0; i < n; ++i)
        Field[i] = static_cast<uint8_t>(Text[i]);
}

PetsciiString PetsciiToString(const uint8_t* Field, int LastIndex) {
    PetsciiString Text;
    for (int i = 0; i <= LastIndex && Field[i] != 0xA0; ++i)
        Text.push_back(static_cast<char>(Field[i]));
    return Text;
}

std::string PetsciiToFileName(const uint8_t* Field, int LastIndex) {
    std::string Name;
    for (int i = 0; i <= LastIndex; ++i) {
        const uint8_t b = Field[i];
        if (b < 0x20) continue;
        switch (b) {
        case 0xA0:
        case '\\':
        case '/':
        case '.':
        case '|':
        case '<':
        case '>':
        case '"':
        case ':':
            return Name;
        default:
            Name.push_back(static_cast<char>(b));
        }
    }
    return Name;
}

namespace {

std::string Escaped(uint8_t b) {
    char Text[8];
    std::snprintf(Text, sizeof Text, "{$%02X}", b);
    return Text;
}

// How one byte of a name is spelled in a host file name; First for the name's first byte.
std::string HostSpelling(uint8_t b, bool First) {
    // A slash would lead into a folder, a leading dot would hide the file.
    if (b == '/' || (First && b == '.')) return Escaped(b);
    return PetsciiByteSpelling(b);
}

} // namespace

std::string PetsciiByteSpelling(uint8_t b) {
    if (b >= 0x41 && b <= 0x5A) return std::string(1, static_cast<char>('a' + (b - 0x41)));
    if (b >= 0xC1 && b <= 0xDA) return std::string(1, static_cast<char>('A' + (b - 0xC1)));
    if ((b >= 0x20 && b <= 0x40) || b == '[' || b == ']') return std::string(1, static_cast<char>(b));
    return Escaped(b);
}

std::string ExportBaseName(const uint8_t* NameField) {
    const PetsciiString Name = PetsciiToString(NameField, 15);
    // The padding byte alone spells the empty name, and spells it back.
    if (Name.empty()) return HostSpelling(0xA0, true);
    std::string Host;
    for (size_t i = 0; i < Name.size(); ++i)
        Host += HostSpelling(static_cast<uint8_t>(Name[i]), i == 0);
    return Host;
}
