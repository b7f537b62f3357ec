// Host files into files for an image, by their extension.
#include "HostImport.h"

#include "NameConvention.h"
#include "Pc64.h"
#include "T64.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

// The data blocks of the largest REL file any disk takes (the 1581's); each disk refuses
// what is too large for it.
constexpr int MaxRelDataBlocks = 3000;

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

std::string LowerExtension(const std::string& Path) {
    std::string ext = std::filesystem::path(Path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

// Every listed file of a .d64 image, with its own entry.
std::vector<TImportFile> ImageFiles(const std::string& Path) {
    std::unique_ptr<TC64Disk> Image = TC64Disk::OpenDiskImage(Path, deCbmDos);
    if (!Image) throw EHostFileError("Can't read the files of " + Path);
    std::vector<uint8_t*> Entries;
    Image->ReadDirectory(TFileKindSet::AllListed(),
                         [&](const TC64DirRecord& Record) { Entries.push_back(Record.Entry); });
    std::vector<TImportFile> Files;
    for (uint8_t* Entry : Entries) {
        TImportFile File;
        std::copy(Entry, Entry + 32, File.Entry.begin());
        File.Entry[0] = File.Entry[1] = 0;
        File.Bytes = Image->LoadFile(Entry);
        Files.push_back(std::move(File));
    }
    return Files;
}

} // namespace

PetsciiString TImportFile::Name() const {
    PetsciiString Name(Entry.begin() + 5, Entry.begin() + 21);
    while (!Name.empty() && Name.back() == '\xA0')
        Name.pop_back();
    return Name;
}

TFileKind KindFromHostPath(const std::string& HostPath) {
    const std::string ext = LowerExtension(HostPath);
    if (ext == ".seq") return fkSeq;
    if (ext == ".usr") return fkUsr;
    if (ext == ".del") return fkDel;
    if (ext == ".rel") return fkRel;
    return fkPrg;
}

int ImportedBlockCount(size_t ByteCount, TFileKind Kind) {
    return FileBlockCount(ByteCount, Kind == fkRel, false);
}

TImportFile MakeImportFile(ByteArray Bytes, const PetsciiString& Name, TFileKind Kind, int RecordLength) {
    if (Kind == fkRel && FileBlockCount(Bytes.size(), false, false) > MaxRelDataBlocks)
        throw EHostFileError("REL file too large: at most " + std::to_string(MaxRelDataBlocks * 254) +
                             " bytes");
    TImportFile File;
    File.NameCut = Name.size() > 16;
    File.Entry[2] = static_cast<uint8_t>(TypeCode(Kind) | 0x80);
    StringToPetscii(Name, File.Entry.data() + 5, 15);
    if (Kind == fkRel) File.Entry[23] = static_cast<uint8_t>(RecordLength);
    const int blocks = ImportedBlockCount(Bytes.size(), Kind);
    File.Entry[30] = static_cast<uint8_t>(blocks & 0xFF);
    File.Entry[31] = static_cast<uint8_t>(blocks >> 8);
    File.Bytes = std::move(Bytes);
    return File;
}

ByteArray ReadHostBytes(const std::string& Path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Path, ec))
        throw EHostFileError("Can't read " + Path + ": not a regular file");
    HostFile::TFile file(Path, HostFile::TFile::TMode::ReadUnlocked);
    ByteArray bytes(file.Size());
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

std::vector<TImportFile> ReadHostFile(const std::string& Path, bool ExpandImages) {
    const std::string ext = LowerExtension(Path);
    if (ExpandImages && ext == ".d64") return ImageFiles(Path);
    std::vector<TImportFile> Files;
    if (Pc64KindOf(Path) != fkUnknown) {
        Files.push_back(ReadPc64(ReadHostBytes(Path), Path));
    } else if (ext == ".t64") {
        Files = ReadT64(ReadHostBytes(Path), Path);
    } else if (ext == ".rel") {
        throw EHostFileError(
            "Can't import " + Path +
            ": a REL file needs its record length (export REL files as PC64 files to keep it)");
    } else {
        Files.push_back(
            MakeImportFile(ReadHostBytes(Path), HostFileNameToPetscii(Path), KindFromHostPath(Path), 0));
    }
    for (TImportFile& File : Files)
        File.Source = Path;
    return Files;
}
