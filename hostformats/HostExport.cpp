// Names and bytes of exported files.
#include "HostExport.h"

#include "Pc64.h"

std::string ExportExtension(const uint8_t* Entry, TExportFormat Format) {
    if (Format == TExportFormat::Pc64) return Pc64Extension(Entry);
    // A partition's sectors go out as they are; types without a host extension of their
    // own are programs on the host.
    static const char* const Extensions[] = {".del", ".seq", ".prg", ".usr", ".rel", ".cbm"};
    const int Code = Entry[2] & 0x07;
    return Code < 6 ? Extensions[Code] : ".prg";
}

std::string ExportFileName(const uint8_t* Entry, TExportFormat Format) {
    return ExportBaseName(Entry + 5) + ExportExtension(Entry, Format);
}

ByteArray ExportFileBytes(const uint8_t* Entry, const ByteArray& Bytes, TExportFormat Format) {
    return Format == TExportFormat::Pc64 ? WritePc64(Entry, Bytes) : Bytes;
}
