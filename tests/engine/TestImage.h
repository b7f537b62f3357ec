// Helpers for engine tests: a temporary folder, new images, files put in by bytes.
#pragma once

#include "c64disk.h"
#include "d64.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace testing_support {

// A fresh folder removed at the end of the test.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    std::string Path(const std::string& Name) const { return (Dir / Name).string(); }

  private:
    std::filesystem::path Dir;
};

ByteArray ReadHostFile(const std::string& Path);
void WriteHostFile(const std::string& Path, const ByteArray& Bytes);
// Bytes 0, 1, 2, ... (mod 251, so sector boundaries do not line up with the pattern).
ByteArray Pattern(size_t Size, int Seed = 0);

// A new formatted image saved to Path.
std::unique_ptr<TC64Disk> NewImage(const std::string& Path, TDiskType Type = dt35Tracks,
                                   TDosEmulation Emulation = deCbmDos);

// Adds a file with these bytes; the block count stored is the number of sectors.
uint8_t* AddTestFile(TC64Disk& Disk, const std::string& Name, const ByteArray& Bytes, uint8_t TypeByte = 0x82);

// The entry whose name matches, or null.
uint8_t* FindEntry(TC64Disk& Disk, const std::string& Name);

uint32_t Offset(int Track, int Sector);

// EXPECT that Statement throws exactly type E with message Text.
#define EXPECT_THROW_MSG(Statement, E, Text)                                                                 \
    do {                                                                                                     \
        try {                                                                                                \
            Statement;                                                                                       \
            ADD_FAILURE() << "no exception from " #Statement;                                                \
        } catch (const E& Error) {                                                                           \
            EXPECT_EQ(std::string(Error.what()), std::string(Text));                                         \
        }                                                                                                    \
    } while (0)

} // namespace testing_support
