// Host files from an image's files: the name a file is exported under and its bytes.
// Importing the host file gives back the same name, type and bytes.
#pragma once

#include "cmd_types.h"

#include <string>

// How a file is written to the host.
enum class TExportFormat {
    Plain, // the file's bytes, named by type: .prg, .seq, .usr, .rel, .del
    Pc64,  // a PC64 file (.p00, .s00, ...): the exact name, type and record length kept
};

// The extension of the host file for a file of this 32-byte directory entry, with its dot.
std::string ExportExtension(const uint8_t* Entry, TExportFormat Format);
// The host name a file is exported under: the name spelled by the naming rule
// (ExportBaseName) and ExportExtension.
std::string ExportFileName(const uint8_t* Entry, TExportFormat Format);

// What is written to the host file for a file of these bytes.
ByteArray ExportFileBytes(const uint8_t* Entry, const ByteArray& Bytes, TExportFormat Format);
