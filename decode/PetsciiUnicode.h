// The C64 characters as Unicode text: each printable PETSCII code of either character set
// mapped to the character that looks like it, from Latin, box drawing, block elements and
// "Symbols for Legacy Computing"; codes without one (the control codes, which the C64
// shows as reversed letters inside quotes) are spelled {$XX}.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The two character sets of the C64.
enum class TCharSet { UpperGraphic, LowerUpper };

// The Unicode character a PETSCII code shows as in a character set; 0 when there is none.
char32_t PetsciiToUnicode(uint8_t Code, TCharSet Set);
// UTF-8 text of PETSCII bytes: each mapped code as its character, every other one as {$XX}.
std::string PetsciiToUtf8(std::string_view Bytes, TCharSet Set);
// One code point as UTF-8.
std::string Utf8Of(char32_t Character);
