// PETSCII to Unicode, by character set.
#include "PetsciiUnicode.h"

#include <cstdio>

namespace {

// $A0-$BF, the same in both sets but for $A9 and $BA.
constexpr char32_t Graphics1[32] = {
    0x00A0,  0x258C, 0x2584,  0x2594, 0x2581, 0x258F, 0x2592,  0x2595,  // $A0-$A7
    0x1FB8F, 0x25E4, 0x1FB87, 0x251C, 0x2597, 0x2514, 0x2510,  0x2582,  // $A8-$AF
    0x250C,  0x2534, 0x252C,  0x2524, 0x258E, 0x258D, 0x1FB88, 0x1FB82, // $B0-$B7
    0x1FB83, 0x2583, 0x1FB7F, 0x2596, 0x259D, 0x2518, 0x2598,  0x259A,  // $B8-$BF
};

// $C0-$DF of the upper case and graphics set.
constexpr char32_t Graphics2[32] = {
    0x2500,  0x2660,  0x1FB72, 0x1FB78, 0x1FB77, 0x1FB76, 0x1FB7A, 0x1FB71, // $C0-$C7
    0x1FB74, 0x256E,  0x2570,  0x256F,  0x1FB7C, 0x2572,  0x2571,  0x1FB7D, // $C8-$CF
    0x1FB7E, 0x25CF,  0x1FB7B, 0x2665,  0x1FB70, 0x256D,  0x2573,  0x25CB,  // $D0-$D7
    0x2663,  0x1FB75, 0x2666,  0x253C,  0x1FB8C, 0x2502,  0x03C0,  0x25E5,  // $D8-$DF
};

// The code whose glyph a code repeats: $60-$7F show as $C0-$DF, $E0-$FE as $A0-$BE and
// $FF as $DE.
uint8_t Canonical(uint8_t Code) {
    if (Code >= 0x60 && Code <= 0x7F) return static_cast<uint8_t>(Code + 0x60);
    if (Code >= 0xE0 && Code <= 0xFE) return static_cast<uint8_t>(Code - 0x40);
    if (Code == 0xFF) return 0xDE;
    return Code;
}

} // namespace

char32_t PetsciiToUnicode(uint8_t Code, TCharSet Set) {
    Code = Canonical(Code);
    const bool Lower = Set == TCharSet::LowerUpper;
    if (Code < 0x20 || (Code >= 0x80 && Code <= 0x9F)) return 0;
    if (Code <= 0x40 || Code == 0x5B || Code == 0x5D) return Code;
    if (Code <= 0x5A) return Lower ? Code + 0x20 : Code;
    switch (Code) {
    case 0x5C:
        return 0x00A3; // pound
    case 0x5E:
        return 0x2191; // up arrow
    case 0x5F:
        return 0x2190; // left arrow
    default:
        break;
    }
    if (Code <= 0xBF) {
        if (Lower && Code == 0xA9) return 0x1FB98;
        if (Lower && Code == 0xBA) return 0x2713;
        return Graphics1[Code - 0xA0];
    }
    if (Lower) {
        if (Code >= 0xC1 && Code <= 0xDA) return Code - 0x80;
        if (Code == 0xDE) return 0x1FB96;
        if (Code == 0xDF) return 0x1FB99;
    }
    return Graphics2[Code - 0xC0];
}

std::string Utf8Of(char32_t Character) {
    std::string Text;
    if (Character < 0x80) {
        Text += static_cast<char>(Character);
    } else if (Character < 0x800) {
        Text += static_cast<char>(0xC0 | (Character >> 6));
        Text += static_cast<char>(0x80 | (Character & 0x3F));
    } else if (Character < 0x10000) {
        Text += static_cast<char>(0xE0 | (Character >> 12));
        Text += static_cast<char>(0x80 | ((Character >> 6) & 0x3F));
        Text += static_cast<char>(0x80 | (Character & 0x3F));
    } else {
        Text += static_cast<char>(0xF0 | (Character >> 18));
        Text += static_cast<char>(0x80 | ((Character >> 12) & 0x3F));
        Text += static_cast<char>(0x80 | ((Character >> 6) & 0x3F));
        Text += static_cast<char>(0x80 | (Character & 0x3F));
    }
    return Text;
}

std::string PetsciiToUtf8(std::string_view Bytes, TCharSet Set) {
    std::string Text;
    Text.reserve(Bytes.size());
    for (char Byte : Bytes) {
        const auto Code = static_cast<uint8_t>(Byte);
        if (const char32_t Character = PetsciiToUnicode(Code, Set)) {
            Text += Utf8Of(Character);
        } else {
            char Spelled[8];
            std::snprintf(Spelled, sizeof Spelled, "{$%02X}", Code);
            Text += Spelled;
        }
    }
    return Text;
}
