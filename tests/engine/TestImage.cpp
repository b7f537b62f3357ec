// Engine test helpers.
#include "TestImage.h"

#include <fstream>
#include <random>

namespace testing_support {

TTempDir::TTempDir() {
    std::string Template = (std::filesystem::temp_directory_path() / "kbm-test-XXXXXX").string();
    Dir = mkdtemp(Template.data());
}

TTempDir::~TTempDir() {
    std::error_code Ignored;
    std::filesystem::remove_all(Dir, Ignored);
}

ByteArray ReadHostFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return ByteArray(std::istreambuf_iterator<char>(In), {});
}

void WriteHostFile(const std::string& Path, const ByteArray& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

ByteArray Pattern(size_t Size, int Seed) {
    ByteArray Bytes(Size);
    for (size_t i = 0; i < Size; ++i) Bytes[i] = static_cast<uint8_t>((i + static_cast<size_t>(Seed)) % 251);
    return Bytes;
}

std::unique_ptr<TC64Disk> NewImage(const std::string& Path, TDiskType Type, TDosEmulation Emulation) {
    auto Disk = TC64Disk::CreateDiskImage(Path, Type, Emulation);
    Disk->Save();
    return Disk;
}

uint8_t* AddTestFile(TC64Disk& Disk, const std::string& Name, const ByteArray& Bytes, uint8_t TypeByte) {
    uint8_t Entry[32] = {};
    Entry[2] = TypeByte;
    StringToPetscii(Name, Entry + 5, 15);
    const size_t Blocks = (Bytes.size() + 253) / 254;
    Entry[30] = static_cast<uint8_t>(Blocks & 0xFF);
    Entry[31] = static_cast<uint8_t>(Blocks >> 8);
    Disk.AddFile(Bytes, Entry);
    return FindEntry(Disk, Name);
}

uint8_t* FindEntry(TC64Disk& Disk, const std::string& Name) {
    uint8_t* Found = nullptr;
    Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) {
        if (!Found && R.Name == Name) Found = R.Entry;
    });
    return Found;
}

uint32_t Offset(int Track, int Sector) { return TD64::TrackOffset(Track) + 256u * static_cast<uint32_t>(Sector); }

} // namespace testing_support
