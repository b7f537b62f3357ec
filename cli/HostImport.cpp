// Host files into an image through the engine's file writer.
#include "HostImport.h"

#include "CliError.h"
#include "NameConvention.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

constexpr int LinksPerSideSector = 120;
constexpr int MaxSideSectors = 6;

// An empty file still has one data block, without data.
int DataSectors(size_t ByteCount) {
    return std::max(static_cast<int>((ByteCount + 253) / 254), 1);
}

uint8_t TypeCode(TFileKind Kind) {
    switch (Kind) {
    case fkSeq:
        return 1;
    case fkPrg:
        return 2;
    case fkUsr:
        return 3;
    case fkRel:
        return 4;
    default:
        return 0;
    }
}

} // namespace

TFileKind KindFromHostPath(const std::string& HostPath) {
    std::string ext = std::filesystem::path(HostPath).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".seq") return fkSeq;
    if (ext == ".usr") return fkUsr;
    if (ext == ".del") return fkDel;
    return fkPrg;
}

int ImportedBlockCount(size_t ByteCount, TFileKind Kind) {
    const int data = DataSectors(ByteCount);
    if (Kind != fkRel) return data;
    return data + (data + LinksPerSideSector - 1) / LinksPerSideSector;
}

void ImportBytes(TC64Disk& Disk, const ByteArray& Bytes, const PetsciiString& Name, TFileKind Kind,
                 int RecordLength) {
    Disk.VerifyWriteAccess();
    if (Kind == fkRel && DataSectors(Bytes.size()) > LinksPerSideSector * MaxSideSectors)
        throw ECliError("REL file too large: at most " +
                        std::to_string(LinksPerSideSector * MaxSideSectors * 254) + " bytes");

    uint8_t entry[32] = {};
    entry[2] = static_cast<uint8_t>(TypeCode(Kind) | 0x80);
    StringToPetscii(Name, entry + 5, 15);
    if (Kind == fkRel) entry[23] = static_cast<uint8_t>(RecordLength);
    const int blocks = ImportedBlockCount(Bytes.size(), Kind);
    entry[30] = static_cast<uint8_t>(blocks & 0xFF);
    entry[31] = static_cast<uint8_t>(blocks >> 8);
    Disk.AddFile(Bytes, entry);
}
