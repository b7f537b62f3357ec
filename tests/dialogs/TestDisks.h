// Disk images for the dialog and window tests, built with the engine in a test's folder:
// new formatted images, files with real chains, and chains that loop.
#pragma once

#include "c64disk.h"
#include "d64.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace TestDisks {

// Byte offset of the header sector (BAM, name, ID) in an image file.
const int Header = static_cast<int>(TD64::TrackOffset(18));

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
