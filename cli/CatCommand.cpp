// The views of d64tool cat.
#include "CatCommand.h"

#include "BasicListing.h"
#include "FileViews.h"
#include "TextViews.h"

#include <ostream>

namespace {

constexpr int HexWidth = 16;

void WriteLines(const std::vector<std::string>& Lines, TCharSet Set, std::ostream& Out) {
    for (const std::string& Line : Lines)
        Out << PetsciiToUtf8(Line, Set) << '\n';
}

// The character column keeps its width: a byte without a Unicode look-alike is a dot.
void WriteHex(const ByteArray& Bytes, TViewedType Type, TCharSet Set, std::ostream& Out) {
    const std::optional<uint16_t> Load = LoadAddressOf(Bytes, Type);
    for (const THexRow& Row : HexRows(Bytes, Load ? 2 : 0, Load.value_or(0), HexWidth)) {
        Out << HexRowText(Row, HexWidth) << ' ';
        for (char Byte : Row.Bytes) {
            const char32_t Character = PetsciiToUnicode(static_cast<uint8_t>(Byte), Set);
            Out << (Character ? Utf8Of(Character) : std::string("."));
        }
        Out << '\n';
    }
}

} // namespace

void WriteFileView(const ByteArray& Bytes, TFileKind Kind, TCatView View, TCharSet Set, std::ostream& Out) {
    const TViewedType Type = ViewedTypeOf(Kind);
    if (View == TCatView::Fitting) {
        switch (FittingView(Bytes, Type)) {
        case TViewKind::Basic:
            View = TCatView::Basic;
            break;
        case TViewKind::Text:
            View = TCatView::Text;
            break;
        case TViewKind::Hex:
        case TViewKind::Picture:
            View = TCatView::Hex;
            break;
        }
    }
    switch (View) {
    case TCatView::Basic:
        WriteLines(DecodeBasic(Bytes).ViewLines(), Set, Out);
        break;
    case TCatView::Text:
        WriteLines(PetsciiLines(Bytes, LoadAddressOf(Bytes, Type) ? 2 : 0), Set, Out);
        break;
    case TCatView::Raw:
        Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
        break;
    case TCatView::Hex:
    case TCatView::Fitting:
        WriteHex(Bytes, Type, Set, Out);
        break;
    }
}
