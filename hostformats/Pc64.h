// PC64 files (.p00, .s00, .u00, .r00, .d00 and on): one C64 file behind a 26-byte header
// holding its exact name ("C64File", a zero, the 16-byte name padded with zeros or with
// shifted spaces, a zero, the REL record length); the extension's letter gives its type.
#pragma once

#include "HostImport.h"

#include <string>

// The kind a PC64 file name gives (p: PRG, s: SEQ, u: USR, r: REL, d: DEL, then two
// digits, any letter case; the disk images .d64, .d71, .d80, .d81 and .d82 are not);
// fkUnknown for any other name.
TFileKind Pc64KindOf(const std::string& HostPath);

// The file a PC64 file holds. Raises EHostFileError when the header is missing.
TImportFile ReadPc64(const ByteArray& Bytes, const std::string& HostPath);

// A PC64 file of a directory entry's file: its 16-byte name field, its record length
// and its bytes.
ByteArray WritePc64(const uint8_t* Entry, const ByteArray& Bytes);

// The extension a PC64 file of this entry's type gets: ".p00", ".s00", ...
std::string Pc64Extension(const uint8_t* Entry);
