// Cell texts of one directory listing row.
#include "ListingRow.h"

#include "c64disk.h"

#include <cstdio>

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

    std::string Type = FileKindText(Record.Kind);
    if (Record.Locked) Type += '<';
    if (!Record.Closed) Type += '*';
    if (Type.size() > TypeCellWidth) Type.resize(TypeCellWidth);
    Row[2] = Type;

    char TrackSector[8];
    std::snprintf(TrackSector, sizeof TrackSector, "%2u/%2u", static_cast<unsigned>(Record.Track),
                  static_cast<unsigned>(Record.Sector));
    Row[3] = TrackSector;
    return Row;
}
