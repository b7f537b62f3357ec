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

int DataSectors(size_t ByteCount) {
    return static_cast<int>((ByteCount + 253) / 254);
}

// A REL file without records still has one (empty) data block.
int RelDataSectors(size_t ByteCount) {
    return std::max(DataSectors(ByteCount), 1);
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
    if (Kind != fkRel) return DataSectors(ByteCount);
    const int data = RelDataSectors(ByteCount);
    return data + (data + LinksPerSideSector - 1) / LinksPerSideSector;
}

void ImportBytes(TC64Disk& Disk, const ByteArray& Bytes, const PetsciiString& Name, TFileKind Kind,
                 int RecordLength) {
    Disk.VerifyWriteAccess();
    if (Kind == fkRel && DataSectors(Bytes.size()) > LinksPerSideSector * MaxSideSectors)
        throw ECliError("REL file too large: at most " +
                        std::to_string(LinksPerSideSector * MaxSideSectors * 254) + " bytes");

    // The same checks, in the same order, that the writer makes; done here first so
    // that the slot it will take is known and can be cleaned of a former file's
    // side-sector link (the writer fills bytes 21-22 only for REL files).
    if (static_cast<size_t>(Disk.GetFreeBlocks()) * 256 < Bytes.size())
        throw EC64DiskFullException("Disk is full!");
    uint8_t* slot = Disk.AllocateDirEntry();
    if (!slot) throw EC64DiskFullException("Maximum number of files reached!");
    slot[21] = 0;
    slot[22] = 0;

    uint8_t entry[32] = {};
    entry[2] = static_cast<uint8_t>(TypeCode(Kind) | 0x80);
    StringToPetscii(Name, entry + 5, 15);
    if (Kind == fkRel) entry[23] = static_cast<uint8_t>(RecordLength);
    const int blocks = ImportedBlockCount(Bytes.size(), Kind);
    entry[30] = static_cast<uint8_t>(blocks & 0xFF);
    entry[31] = static_cast<uint8_t>(blocks >> 8);
    Disk.AddFile(Bytes, entry);
}
