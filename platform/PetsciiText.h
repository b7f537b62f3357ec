// The one mapping between raw PETSCII bytes and the text Qt draws in the C64 fonts.
// Each byte becomes its Latin-1 character, except the codes Qt's text layer treats as
// controls (0x00-0x1F, 0x7F-0x9F, 0xAD), which go to U+E000+N. The fonts carry glyph N
// on both code points, so every byte shows its C64 glyph.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace PetsciiText {

bool IsQtControl(unsigned char Byte);
QChar ToDisplay(unsigned char Byte);
QString ToDisplay(std::string_view Bytes);
// Inverse of ToDisplay; accepts both U+00NN and U+E000+NN. Characters outside both
// ranges have no PETSCII byte and are dropped.
std::string FromDisplay(const QString& Text);

// A C64 face at 8-pixel characters. The glyphs sit on a pixel grid: no smoothing, no hinting.
QFont C64Font(const QString& Face);

} // namespace PetsciiText
