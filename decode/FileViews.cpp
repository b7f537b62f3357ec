// Choosing a file's view.
#include "FileViews.h"

#include "BasicListing.h"
#include "C64Picture.h"

TViewedType ViewedTypeOf(TFileKind Kind) {
    if (Kind == fkPrg) return TViewedType::Program;
    if (Kind == fkSeq || Kind == fkUsr) return TViewedType::Sequential;
    return TViewedType::Other;
}

std::optional<uint16_t> LoadAddressOf(const std::vector<uint8_t>& File, TViewedType Type) {
    if (Type != TViewedType::Program || File.size() < 2) return std::nullopt;
    return static_cast<uint16_t>(File[0] | File[1] << 8);
}

TViewKind FittingView(const std::vector<uint8_t>& File, TViewedType Type) {
    if (Type == TViewedType::Sequential) return TViewKind::Text;
    const std::optional<uint16_t> Load = LoadAddressOf(File, Type);
    if (!Load) return TViewKind::Hex;
    if (PictureFormatOf(File) != TPictureFormat::None && *Load % 0x2000 == 0) return TViewKind::Picture;
    const TBasicListing Listing = DecodeBasic(File);
    // The first line alone decides: a program that goes wrong further on is still BASIC.
    const bool FirstLineChains =
        Listing.Lines.size() > 1 || (Listing.Lines.size() == 1 && Listing.BrokenNote.empty());
    if (FirstLineChains) return TViewKind::Basic;
    return TViewKind::Hex;
}
