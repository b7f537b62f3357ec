// T64 tape images: a 64-byte header ("C64" first, the number of directory slots at
// 0x22), then 32-byte directory slots (entry kind, 1541 type byte, start and end
// address, offset of the data in the file, 16-byte name padded with spaces).
#pragma once

#include "HostImport.h"

#include <string>
#include <vector>

// The used entries of a tape image, in directory order: PRG files (also for a type byte
// that names no 1541 type) with their load address before the data, SEQ and USR files
// without. An entry's length is its end address less its start address, cut at the
// next entry's data and at the end of the file (tape images often carry a wrong end
// address). Raises EHostFileError for a missing header or an entry outside the file.
std::vector<TImportFile> ReadT64(const ByteArray& Bytes, const std::string& HostPath);
