// Bitmap decoding: the VIC-II's hires and multicolour bitmap modes.
#include "C64Picture.h"

const std::array<uint32_t, 16> C64Palette = {
    0x000000, 0xFFFFFF, 0x68372B, 0x70A4B2, 0x6F3D86, 0x588D43, 0x352879, 0xB8C76F,
    0x6F4F25, 0x433900, 0x9A6759, 0x444444, 0x6C6C6C, 0x9AD284, 0x6C5EB5, 0x959595,
};

namespace {

// Where the parts of a format lie after the load address; None (npos) where it has none.
struct TLayout {
    size_t Screen;
    size_t Colour;
    size_t Background;
    bool Multicolour;
};
constexpr size_t None = static_cast<size_t>(-1);

TLayout LayoutOf(TPictureFormat Format) {
    switch (Format) {
    case TPictureFormat::Koala:
        return {8000, 9000, 10000, true};
    case TPictureFormat::MulticolourScreen:
        return {8000, 9000, None, true};
    case TPictureFormat::ArtStudio:
    case TPictureFormat::HiresScreen:
        return {8000, None, None, false};
    default:
        return {None, None, None, false};
    }
}

} // namespace

TPictureFormat PictureFormatOf(const std::vector<uint8_t>& File) {
    switch (File.size() < 2 ? 0 : File.size() - 2) {
    case 10001:
        return TPictureFormat::Koala;
    case 9007:
        return TPictureFormat::ArtStudio;
    case 9000:
        return TPictureFormat::HiresScreen;
    case 8000:
        return TPictureFormat::Hires;
    case 10000:
        return TPictureFormat::MulticolourScreen;
    default:
        return TPictureFormat::None;
    }
}

const char* PictureFormatName(TPictureFormat Format) {
    switch (Format) {
    case TPictureFormat::Koala:
        return "Koala Painter multicolour";
    case TPictureFormat::ArtStudio:
        return "Art Studio hires";
    case TPictureFormat::HiresScreen:
        return "Hires bitmap with screen colours";
    case TPictureFormat::Hires:
        return "Hires bitmap";
    case TPictureFormat::MulticolourScreen:
        return "Multicolour bitmap";
    case TPictureFormat::None:
        break;
    }
    return "";
}

TC64Picture DecodePicture(const std::vector<uint8_t>& File) {
    TC64Picture Picture;
    Picture.Format = PictureFormatOf(File);
    if (Picture.Format == TPictureFormat::None) return Picture;
    const uint8_t* Data = File.data() + 2;
    const TLayout Layout = LayoutOf(Picture.Format);
    // Without a screen, ink is light grey (nibble 0xF) and paper black (0x0).
    const auto ScreenAt = [&](size_t Cell) -> uint8_t {
        return Layout.Screen == None ? 0xF0 : Data[Layout.Screen + Cell];
    };
    const uint8_t Background = Layout.Background == None ? 0 : Data[Layout.Background] & 0x0F;
    Picture.Pixels.resize(static_cast<size_t>(TC64Picture::Width * TC64Picture::Height));
    for (int Y = 0; Y < TC64Picture::Height; ++Y) {
        for (int Column = 0; Column < 40; ++Column) {
            const size_t Cell = static_cast<size_t>(Y / 8 * 40 + Column);
            const uint8_t Bits = Data[Cell * 8 + static_cast<size_t>(Y % 8)];
            const uint8_t Screen = ScreenAt(Cell);
            uint32_t* Out = &Picture.Pixels[static_cast<size_t>(Y * TC64Picture::Width + Column * 8)];
            if (Layout.Multicolour) {
                const uint8_t Colours[4] = {Background, static_cast<uint8_t>(Screen >> 4),
                                            static_cast<uint8_t>(Screen & 0x0F),
                                            static_cast<uint8_t>(Data[Layout.Colour + Cell] & 0x0F)};
                for (int Pair = 0; Pair < 4; ++Pair)
                    Out[2 * Pair] = Out[2 * Pair + 1] = C64Palette[Colours[(Bits >> (6 - 2 * Pair)) & 3]];
            } else {
                for (int Bit = 0; Bit < 8; ++Bit)
                    Out[Bit] = C64Palette[(Bits >> (7 - Bit)) & 1 ? Screen >> 4 : Screen & 0x0F];
            }
        }
    }
    return Picture;
}
