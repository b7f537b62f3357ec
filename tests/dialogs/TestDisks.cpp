// Test images built with the engine.
#include "TestDisks.h"

#include <QFile>

#include <cstring>

namespace TestDisks {

std::shared_ptr<TC64Disk> NewDisk(const QString& Path, TDiskType Type, TDosEmulation Emulation) {
    std::shared_ptr<TC64Disk> Disk =
        TC64Disk::CreateDiskImage(QFile::encodeName(Path).toStdString(), Type, Emulation);
    Disk->Save();
    return Disk;
}

uint8_t* AddFile(TC64Disk& Disk, const PetsciiString& Name, size_t Size, uint8_t TypeByte) {
    ByteArray Bytes(Size);
    for (size_t Index = 0; Index < Size; ++Index)
        Bytes[Index] = static_cast<uint8_t>(Index % 251);
    uint8_t Entry[32] = {};
    Entry[2] = TypeByte;
    StringToPetscii(Name, Entry + 5, 15);
    const int Blocks = static_cast<int>((Size + 253) / 254);
    Entry[30] = static_cast<uint8_t>(Blocks & 0xFF);
    Entry[31] = static_cast<uint8_t>(Blocks >> 8);
    Disk.AddFile(Bytes, Entry);
    return FindEntry(Disk, Name);
}

uint8_t* AddLoopingFile(TC64Disk& Disk, const PetsciiString& Name, TTrackSector First, TTrackSector Second) {
    uint8_t* Entry = Disk.AllocateDirEntry();
    Entry[2] = 0x82;
    WriteTrackSector(Entry + 3, First);
    StringToPetscii(Name, Entry + 5, 15);
    Entry[30] = 2;
    WriteTrackSector(Disk.GetSector(First), Second);
    WriteTrackSector(Disk.GetSector(Second), First);
    Disk.Save();
    return Entry;
}

uint8_t* FindEntry(TC64Disk& Disk, const PetsciiString& Name) {
    uint8_t* Found = nullptr;
    Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& Record) {
        if (Record.Name == Name) Found = Record.Entry;
    });
    return Found;
}

QByteArray ReadFile(const QString& Path) {
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

} // namespace TestDisks
