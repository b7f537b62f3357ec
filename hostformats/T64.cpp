// Reading T64 tape images.
#include "T64.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t HeaderSize = 64;
constexpr size_t SlotSize = 32;

uint32_t Word(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

uint32_t Long(const uint8_t* p) {
    return Word(p) | Word(p + 2) << 16;
}

// SEQ and USR as the type byte says; everything else is loaded as a program.
TFileKind KindOf(uint8_t TypeByte) {
    switch (TypeByte & 0x07) {
    case 1:
        return (TypeByte & 0x80) ? fkSeq : fkPrg;
    case 3:
        return (TypeByte & 0x80) ? fkUsr : fkPrg;
    default:
        return fkPrg;
    }
}

} // namespace

std::vector<TImportFile> ReadT64(const ByteArray& Bytes, const std::string& HostPath) {
    if (Bytes.size() < HeaderSize || std::memcmp(Bytes.data(), "C64", 3) != 0)
        throw EHostFileError("Not a T64 tape image (no \"C64\" header): " + HostPath);
    const size_t Slots = std::min<size_t>(Word(Bytes.data() + 0x22), (Bytes.size() - HeaderSize) / SlotSize);
    std::vector<const uint8_t*> Used;
    for (size_t i = 0; i < Slots; ++i) {
        const uint8_t* Slot = Bytes.data() + HeaderSize + i * SlotSize;
        if (Slot[0] == 0) continue;
        if (Long(Slot + 8) > Bytes.size())
            throw EHostFileError("Damaged T64 tape image (entry " + std::to_string(i + 1) +
                                 " lies outside the file): " + HostPath);
        Used.push_back(Slot);
    }
    std::vector<TImportFile> Files;
    for (const uint8_t* Slot : Used) {
        const uint32_t Offset = Long(Slot + 8);
        uint32_t End = static_cast<uint32_t>(Bytes.size());
        for (const uint8_t* Other : Used)
            if (Long(Other + 8) > Offset) End = std::min(End, Long(Other + 8));
        const uint32_t Start = Word(Slot + 2);
        if (Word(Slot + 4) > Start) End = std::min(End, Offset + (Word(Slot + 4) - Start));

        const TFileKind Kind = KindOf(Slot[1]);
        ByteArray Data;
        if (Kind == fkPrg) Data = {static_cast<uint8_t>(Start & 0xFF), static_cast<uint8_t>(Start >> 8)};
        Data.insert(Data.end(), Bytes.begin() + Offset, Bytes.begin() + End);
        PetsciiString Name(reinterpret_cast<const char*>(Slot + 16), 16);
        while (!Name.empty() && (Name.back() == ' ' || Name.back() == '\xA0' || Name.back() == '\0'))
            Name.pop_back();
        Files.push_back(MakeImportFile(std::move(Data), Name, Kind, 0));
    }
    return Files;
}
