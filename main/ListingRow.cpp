// Cell texts of one directory listing row.
#include "ListingRow.h"

#include "c64disk.h"


namespace {

constexpr std::size_t NameCellWidth = 18;
constexpr std::size_t TypeCellWidth = 18;

} // namespace

TListingRow FormatListingRow(const TC64DirRecord& Record) {
    TListingRow Row;
    Row[0] = std::to_string(Record.Blocks);

    std::string Name = "\"" + Record.Name + "\"";
    Name.resize(NameCellWidth, ' ');
    Row[1] = Name;

    std::string Type = FileTypeText(Record);
    if (Type.size() > TypeCellWidth) Type.resize(TypeCellWidth);
    Row[2] = Type;
    Row[3] = TrackSectorText(Record);
    return Row;
}
