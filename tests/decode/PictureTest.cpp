// The picture decoders on bitmaps built here with known colours at known pixels.
#include "C64Picture.h"
#include "FileViews.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

// A picture file: load address, then Size bytes of zeros.
Bytes PictureFile(uint16_t Load, size_t Size) {
    Bytes File(Size + 2, 0);
    File[0] = static_cast<uint8_t>(Load & 0xFF);
    File[1] = static_cast<uint8_t>(Load >> 8);
    return File;
}

// The bitmap byte of a character cell's pixel row, as offset into the file.
size_t BitmapByte(int Column, int CellRow, int PixelRow) {
    return 2 + static_cast<size_t>((CellRow * 40 + Column) * 8 + PixelRow);
}

} // namespace

TEST(PictureTest, KoalaTakesEachBitPairFromItsSource) {
    Bytes File = PictureFile(0x6000, 10001);
    // Cell (39, 24), its last pixel row: background, screen high, screen low, colour RAM.
    File[BitmapByte(39, 24, 7)] = 0b00011011;
    File[2 + 8000 + 999] = 0x27;            // screen: red (2) and yellow (7)
    File[2 + 9000 + 999] = 0xF5;            // colour RAM: green; the high nibble is not wired
    File[2 + 10000] = 0x06;                 // background: blue
    File[BitmapByte(0, 0, 0)] = 0b11000000; // cell 0 has colour RAM 0: black
    const TC64Picture Picture = DecodePicture(File);
    ASSERT_EQ(Picture.Format, TPictureFormat::Koala);
    const int X = 39 * 8, Y = 199;
    const uint32_t Expected[8] = {C64Palette[6], C64Palette[6], C64Palette[2], C64Palette[2],
                                  C64Palette[7], C64Palette[7], C64Palette[5], C64Palette[5]};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Picture.At(X + i, Y), Expected[i]) << "pixel " << i;
    EXPECT_EQ(Picture.At(0, 0), 0x000000u);
    EXPECT_EQ(Picture.At(2, 0), C64Palette[6]);
    EXPECT_EQ(FittingView(File, TViewedType::Program), TViewKind::Picture);
    // The same length loading into BASIC memory is no bitmap to show.
    File[1] = 0x08;
    EXPECT_EQ(FittingView(File, TViewedType::Program), TViewKind::Hex);
}

TEST(PictureTest, HiresFormatsTakeInkAndPaperFromTheScreen) {
    Bytes File = PictureFile(0x2000, 9007); // Art Studio
    File[BitmapByte(1, 1, 3)] = 0b10000001;
    File[2 + 8000 + 41] = 0xE3; // ink light blue, paper cyan
    TC64Picture Picture = DecodePicture(File);
    ASSERT_EQ(Picture.Format, TPictureFormat::ArtStudio);
    EXPECT_EQ(Picture.At(8, 11), C64Palette[14]);
    EXPECT_EQ(Picture.At(9, 11), C64Palette[3]);
    EXPECT_EQ(Picture.At(15, 11), C64Palette[14]);
    EXPECT_EQ(Picture.At(8, 10), C64Palette[3]);
    EXPECT_EQ(Picture.At(0, 0), C64Palette[0]); // screen 0: black on black

    // A bare bitmap: light grey on black.
    File = PictureFile(0x4000, 8000);
    File[BitmapByte(0, 0, 0)] = 0x80;
    Picture = DecodePicture(File);
    EXPECT_EQ(Picture.Format, TPictureFormat::Hires);
    EXPECT_EQ(Picture.At(0, 0), C64Palette[15]);
    EXPECT_EQ(Picture.At(1, 0), C64Palette[0]);
    EXPECT_EQ(DecodePicture(PictureFile(0x2000, 8001)).Format, TPictureFormat::None);
}
