// TImageTransaction: one image opened for a change that reaches its file whole or not
// at all. The image is locked exclusively from loading to the final replace, so that
// other programs that lock it (another d64tool, the editor) wait instead of losing
// their changes or ours. The engine writes every change through at once, so the disk
// is first moved to a scratch file; Commit writes the finished image over the original.
// An uncommitted transaction leaves the image as it was.
#pragma once

#include "CliError.h"
#include "ScratchFile.h"
#include "c64disk.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

// How long a command waits for an image another program has locked.
constexpr std::chrono::milliseconds CommandLockWait{10000};

// Opens an image for reading, waiting (with a note on Err) while another program
// changes it. Dos, when given, is applied to 40-track images.
std::unique_ptr<TC64Disk> OpenImage(const std::string& ImagePath, std::optional<TDosEmulation> Dos,
                                    std::ostream& Err);

class TImageTransaction {
  public:
    TImageTransaction(const std::string& ImagePath, std::optional<TDosEmulation> Dos,
                      bool IgnoreWriteProtection, std::ostream& Err);
    ~TImageTransaction();
    TImageTransaction(const TImageTransaction&) = delete;
    TImageTransaction& operator=(const TImageTransaction&) = delete;

    TC64Disk& Disk() { return *FDisk; }

    // Refuses a soft write protected image (unless ignored) or a read-only file, then
    // moves the disk to its scratch file. Call once, before the first change.
    void Begin();
    // Writes the changed image over the original.
    void Commit();

  private:
    std::string FImagePath;
    std::unique_ptr<HostFile::THeldLock> FLock;
    std::unique_ptr<TC64Disk> FDisk;
    HostFile::TKnownVersion FLoaded;
    std::unique_ptr<TScratchFile> FScratch;
};
