// Reading and writing PC64 files.
#include "Pc64.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace {

constexpr char Magic[8] = {'C', '6', '4', 'F', 'i', 'l', 'e', 0};
constexpr size_t HeaderSize = 26;

} // namespace

TFileKind Pc64KindOf(const std::string& HostPath) {
    const std::string ext = std::filesystem::path(HostPath).extension().string();
    if (ext.size() != 4 || !std::isdigit(static_cast<unsigned char>(ext[2])) ||
        !std::isdigit(static_cast<unsigned char>(ext[3])))
        return fkUnknown;
    // Disk images share the D letter with PC64 DEL files.
    std::string Lower = ext;
    std::transform(Lower.begin(), Lower.end(), Lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    for (const char* Image : {".d64", ".d71", ".d80", ".d81", ".d82"})
        if (Lower == Image) return fkUnknown;
    switch (std::tolower(static_cast<unsigned char>(ext[1]))) {
    case 'p':
        return fkPrg;
    case 's':
        return fkSeq;
    case 'u':
        return fkUsr;
    case 'r':
        return fkRel;
    case 'd':
        return fkDel;
    default:
        return fkUnknown;
    }
}

TImportFile ReadPc64(const ByteArray& Bytes, const std::string& HostPath) {
    if (Bytes.size() < HeaderSize || std::memcmp(Bytes.data(), Magic, sizeof Magic) != 0)
        throw EHostFileError("Not a PC64 file (no \"C64File\" header): " + HostPath);
    PetsciiString Name(reinterpret_cast<const char*>(Bytes.data() + 8), 16);
    Name.resize(std::min(Name.find('\0'), Name.size()));
    const TFileKind Kind = Pc64KindOf(HostPath);
    if (Kind == fkRel && Bytes[25] == 0)
        throw EHostFileError("Not a PC64 REL file (no record length in its header): " + HostPath);
    return MakeImportFile(ByteArray(Bytes.begin() + HeaderSize, Bytes.end()), Name, Kind, Bytes[25]);
}

ByteArray WritePc64(const uint8_t* Entry, const ByteArray& Bytes) {
    ByteArray File(HeaderSize, 0);
    std::memcpy(File.data(), Magic, sizeof Magic);
    // The name field as the directory holds it, padding included, as cbmconvert writes it
    // (and reads it: a name padded with zeros would keep them there).
    std::memcpy(File.data() + 8, Entry + 5, 16);
    if ((Entry[2] & 0x07) == 4) File[25] = Entry[23];
    File.insert(File.end(), Bytes.begin(), Bytes.end());
    return File;
}

std::string Pc64Extension(const uint8_t* Entry) {
    static const char Letters[] = {'d', 's', 'p', 'u', 'r'};
    const int Code = Entry[2] & 0x07;
    return std::string(".") + (Code < 5 ? Letters[Code] : 'p') + "00";
}
