// PETSCII field conversions. Bytes are never translated; only padding and cutting.
#include "c64disk.h"

void StringToPetscii(const PetsciiString& Text, uint8_t* Field, int LastIndex) {
    for (int i = 0; i <= LastIndex; ++i) Field[i] = 0xA0;
    const size_t n = std::min(Text.size(), static_cast<size_t>(LastIndex + 1));
    for (size_t i = 0; i < n; ++i) Field[i] = static_cast<uint8_t>(Text[i]);
}

PetsciiString PetsciiToString(const uint8_t* Field, int LastIndex) {
    PetsciiString Text;
    for (int i = 0; i <= LastIndex && Field[i] != 0xA0; ++i) Text.push_back(static_cast<char>(Field[i]));
    return Text;
}

std::string PetsciiToFileName(const uint8_t* Field, int LastIndex) {
    std::string Name;
    for (int i = 0; i <= LastIndex; ++i) {
        const uint8_t b = Field[i];
        if (b < 0x20) continue;
        switch (b) {
        case 0xA0: case '\\': case '/': case '.': case '|': case '<': case '>': case '"': case ':':
            return Name;
        default:
            Name.push_back(static_cast<char>(b));
        }
    }
    return Name;
}

std::string ExportBaseName(const uint8_t* NameField) {
    std::string Name = PetsciiToFileName(NameField, 15);
    // A name with nothing a host path can hold would give a hidden ".prg".
    return Name.empty() ? "Unnamed" : Name;
}
