// Disk images for the dialog and window tests, built with the engine in a test's folder:
// new formatted images, files with real chains, and chains that loop.
#pragma once

#include "c64disk.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace TestDisks {

// Byte offset of a sector in an image file; the header (BAM, name, ID) is 18/0.
constexpr int Offset(int Track, int Sector) {
    constexpr int Starts[] = {0,      0,      5376,   10752,  16128,  21504,  26880,  32256,  37632,
                              43008,  48384,  53760,  59136,  64512,  69888,  75264,  80640,  86016,
                              91392,  96256,  101120, 105984, 110848, 115712, 120576, 125440, 130048,
                              134656, 139264, 143872, 148480, 153088, 157440, 161792, 166144, 170496,
                              174848, 179200, 183552, 187904, 192256};
    return Starts[Track] + 256 * Sector;
}
constexpr int Header = Offset(18, 0);

// A new formatted image, written to Path.
std::shared_ptr<TC64Disk> NewDisk(const QString& Path, TDiskType Type = dt35Tracks,
                                  TDosEmulation Emulation = deCbmDos);
// Adds a file of Size bytes (a pattern) under the engine's rules; its entry.
uint8_t* AddFile(TC64Disk& Disk, const PetsciiString& Name, size_t Size, uint8_t TypeByte = 0x82);
// Adds an entry whose chain runs First -> Second -> First; saves the image.
uint8_t* AddLoopingFile(TC64Disk& Disk, const PetsciiString& Name, TTrackSector First, TTrackSector Second);
// The entry of a listed file by name, or null.
uint8_t* FindEntry(TC64Disk& Disk, const PetsciiString& Name);
QByteArray ReadFile(const QString& Path);

} // namespace TestDisks
