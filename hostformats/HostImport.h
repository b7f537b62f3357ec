// Host files as files for an image: the type a host file's extension gives, the
// C64 name its host name gives, and what each kind of host file holds (a plain file,
// a PC64 file, the entries of a T64 tape image, the files of a .d64 image).
#pragma once

#include "c64disk.h"

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

// A host file that cannot be read, or whose contents are not what its name says.
class EHostFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One file to write into an image: its directory entry as TC64Disk::AddFile takes it
// (type byte, name, record length, block count) and its bytes.
struct TImportFile {
    std::array<uint8_t, 32> Entry{};
    ByteArray Bytes;
    // The host file it comes from, for messages.
    std::string Source;
    // The name the host file gave was longer than 16 bytes and has been cut.
    bool NameCut = false;

    // The name field without the padding after its last character.
    PetsciiString Name() const;
};

// .seq, .usr, .del and .rel (any letter case) pick their kind; everything else is PRG.
TFileKind KindFromHostPath(const std::string& HostPath);

// Number of directory blocks a file of this many bytes takes when written: its data
// sectors (one for an empty file), plus for REL files the side sectors listing them
// (120 per side sector).
int ImportedBlockCount(size_t ByteCount, TFileKind Kind);

// A closed file of this kind and name; a name longer than 16 bytes is cut (NameCut).
// Entry bytes 21-29 are zero apart from RecordLength for a REL file. Raises
// EHostFileError for a REL file too large for six side sectors.
TImportFile MakeImportFile(ByteArray Bytes, const PetsciiString& Name, TFileKind Kind, int RecordLength);

// The bytes of a host file. Raises EHostFileError for anything but a readable regular file.
ByteArray ReadHostBytes(const std::string& Path);

// The files a host file holds, by its extension: a PC64 file (.p00, .s00, .u00, .r00,
// .d00 and on) its one file with the name, type and record length of its header; a T64
// tape image its entries; a .d64 image, when ExpandImages, all its files; a plain .rel
// file is refused (its record length is unknown); anything else is one file of the
// extension's kind named after the host file. Raises EHostFileError for a damaged one.
std::vector<TImportFile> ReadHostFile(const std::string& Path, bool ExpandImages);
