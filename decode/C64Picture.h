// C64 bitmap pictures decoded to RGB in the C64 palette: Koala Painter multicolour, Art
// Studio hires, and plain hires and multicolour bitmaps, told apart by their length.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The sixteen colours, as 0xRRGGBB (Pepto's measurement of a PAL C64).
extern const std::array<uint32_t, 16> C64Palette;

enum class TPictureFormat {
    None,
    Koala,             // bitmap, screen, colour RAM, background: 10,001 bytes after the load address
    ArtStudio,         // hires bitmap, screen, border and padding: 9,007 bytes
    HiresScreen,       // hires bitmap and screen: 9,000 bytes
    Hires,             // hires bitmap alone, light grey on black: 8,000 bytes
    MulticolourScreen, // bitmap, screen and colour RAM on black: 10,000 bytes
};

// The format a program file's length says (its two-byte load address included).
TPictureFormat PictureFormatOf(const std::vector<uint8_t>& File);
// "Koala Painter multicolour", ...; empty for None.
const char* PictureFormatName(TPictureFormat Format);

struct TC64Picture {
    static constexpr int Width = 320;
    static constexpr int Height = 200;
    TPictureFormat Format = TPictureFormat::None;
    // Width x Height colours, row by row, 0xRRGGBB; multicolour pixels are two wide.
    std::vector<uint32_t> Pixels;
    uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y * Width + X)]; }
};

// The picture in a program file; Format None and no pixels for any other file.
TC64Picture DecodePicture(const std::vector<uint8_t>& File);
