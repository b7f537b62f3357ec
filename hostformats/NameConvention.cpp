// The command-line spelling of PETSCII names, both ways, and the C64 names of host files.
#include "NameConvention.h"

#include "c64disk.h"

#include <cstdio>
#include <filesystem>

namespace {

bool StandsForItself(uint8_t b) {
    return (b >= 0x20 && b <= 0x40) || b == '[' || b == ']';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads Text by the convention; Strict refuses what it does not spell, otherwise
// such a character is taken as its own byte.
PetsciiString ReadSpelling(const std::string& Text, bool Strict) {
    PetsciiString bytes;
    bytes.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        const auto c = static_cast<uint8_t>(Text[i]);
        if (c >= 'a' && c <= 'z') {
            bytes += static_cast<char>(c - 0x20);
        } else if (c >= 'A' && c <= 'Z') {
            bytes += static_cast<char>(c + 0x80);
        } else if (StandsForItself(c)) {
            bytes += static_cast<char>(c);
        } else if (c == '{' && i + 4 < Text.size() && Text[i + 1] == '$' && HexDigit(Text[i + 2]) >= 0 &&
                   HexDigit(Text[i + 3]) >= 0 && Text[i + 4] == '}') {
            bytes += static_cast<char>(HexDigit(Text[i + 2]) * 16 + HexDigit(Text[i + 3]));
            i += 4;
        } else if (!Strict) {
            bytes += static_cast<char>(c);
        } else if (c == '{') {
            throw ECliNameError("bad escape in name \"" + Text + "\" at position " + std::to_string(i + 1) +
                                ": write other bytes as {$XX}");
        } else {
            char shown[8];
            if (c >= 0x21 && c < 0x7F)
                std::snprintf(shown, sizeof shown, "'%c'", c);
            else
                std::snprintf(shown, sizeof shown, "0x%02X", c);
            throw ECliNameError(std::string("character ") + shown + " in name \"" + Text +
                                "\" has no PETSCII spelling: write it as {$XX}");
        }
    }
    return bytes;
}

} // namespace

std::string PetsciiToCliName(const PetsciiString& Petscii) {
    std::string text;
    text.reserve(Petscii.size());
    for (char ch : Petscii)
        text += PetsciiByteSpelling(static_cast<uint8_t>(ch));
    return text;
}

PetsciiString CliNameToPetscii(const std::string& Text) {
    return ReadSpelling(Text, true);
}

PetsciiString HostFileNameToPetscii(const std::string& HostPath) {
    return ReadSpelling(std::filesystem::path(HostPath).stem().string(), false);
}
