// Helpers for the d64tool tests: a scratch folder, running a command line in process,
// host files and image bytes.
#pragma once

#include "c64disk.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cli_test {

// A fresh folder, removed at the end of the test.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    std::string Path(const std::string& Name) const { return (Dir / Name).string(); }
    const std::filesystem::path& Root() const { return Dir; }

  private:
    std::filesystem::path Dir;
};

struct TRunResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs d64tool with these arguments (without the program name).
TRunResult RunTool(const std::vector<std::string>& Args);

ByteArray ReadBytes(const std::string& Path);
void WriteBytes(const std::string& Path, const ByteArray& Bytes);
// Pseudo-random bytes, different for each seed.
ByteArray RandomBytes(size_t Size, unsigned Seed);

// Offset of a sector in an image file.
uint32_t SectorOffset(int Track, int Sector);
// The 32-byte directory entry of slot Slot (0-7) of directory sector 18/Sector.
ByteArray DirEntryBytes(const ByteArray& Image, int Sector, int Slot);

// Lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& Text);

} // namespace cli_test
