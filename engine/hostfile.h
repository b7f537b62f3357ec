// Host file access for image files: opened and closed within each operation, with
// advisory locks (shared while reading, exclusive while writing), and whole-image
// saves that go through a temporary file so an image is never left half written.
// Host errors are raised as std::system_error naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace HostFile {

// Tests set this to make an operation fail: it gets the operation's name ("open",
// "read", "write", "fsync", "rename") and returns an errno value to fail with, or 0;
// EndOfFile for "read" makes the file end there, as a file cut short while reading.
using TFaultHook = std::function<int(const char* Operation)>;
constexpr int EndOfFile = -1;
void SetFaultHook(TFaultHook Hook);

bool Exists(const std::string& Path);
bool IsRegularFile(const std::string& Path);

// An open file; closed by the destructor.
class TFile {
  public:
    enum class TMode { Read, Write };
    TFile(const std::string& Path, TMode Mode);
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    uint64_t Size() const;
    // Reads up to Count bytes; returns how many arrived (fewer only at end of file).
    size_t Read(uint8_t* Buffer, size_t Count);
    void WriteAt(uint64_t Offset, const uint8_t* Data, size_t Count);

  private:
    std::string Path;
    int Fd = -1;
};

// Writes Data to Path through a temporary file in the same folder, then renames it
// over Path. A symbolic link is followed to its target; an existing file's
// permissions are kept.
void ReplaceWhole(const std::string& Path, const uint8_t* Data, size_t Count);

} // namespace HostFile
