// The four cell texts of one directory listing row, built from a directory record.
// The texts are raw PETSCII bytes, exactly as the grid stores them.
#pragma once

#include "cmd_types.h"

#include <array>
#include <string>

using TListingRow = std::array<std::string, 4>;

// Column 0 the block count, column 1 the quoted name padded or cut to 18 bytes,
// column 2 the kind text with "<" for locked and "*" for not closed, column 3 the
// first track and sector as "%2u/%2u".
TListingRow FormatListingRow(const TC64DirRecord& Record);
