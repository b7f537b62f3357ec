// Test-side reader of fonts/c64glyphs.txt: the expected 8x8 bitmap of every PETSCII code of
// both C64 faces, with the C64's mirrored and reversed codes filled in.
#pragma once

#include <QString>

#include <array>
#include <map>

class GlyphSource {
  public:
    using Glyph = std::array<std::array<bool, 8>, 8>; // [row][column], true = ink

    // Reads the file; on failure Error() says why and every glyph is empty.
    explicit GlyphSource(const QString& Path);

    const QString& Error() const { return FError; }
    // The glyph a C64 shows for Code in the set "Big/Graphic" or "Small/Big".
    Glyph Expected(const QString& SetName, unsigned char Code) const;

  private:
    Glyph Listed(const QString& SetName, unsigned char Code) const;

    std::map<QString, std::map<int, Glyph>> FSets;
    QString FError;
};
