// TImageTransaction: one image opened for a change that reaches its file whole or not
// at all. The engine writes every change through at once, so the open disk is first
// saved under a scratch name next to the image; all writing goes there, and Commit
// renames it over the image. An uncommitted transaction leaves the image as it was.
#pragma once

#include "CliError.h"
#include "ScratchFile.h"
#include "c64disk.h"

#include <memory>
#include <optional>
#include <string>

// Opens an image for reading. Dos, when given, is applied to 40-track images.
std::unique_ptr<TC64Disk> OpenImage(const std::string& ImagePath, std::optional<TDosEmulation> Dos);

class TImageTransaction {
  public:
    TImageTransaction(const std::string& ImagePath, std::optional<TDosEmulation> Dos,
                      bool IgnoreWriteProtection);
    ~TImageTransaction();
    TImageTransaction(const TImageTransaction&) = delete;
    TImageTransaction& operator=(const TImageTransaction&) = delete;

    TC64Disk& Disk() { return *FDisk; }

    // Refuses a soft write protected image (unless ignored) or a read-only file, then
    // moves the disk to its scratch file. Call once, before the first change.
    void Begin();
    // Saves and puts the scratch file in place of the image.
    void Commit();

  private:
    std::string FImagePath;
    std::unique_ptr<TC64Disk> FDisk;
    std::unique_ptr<TScratchFile> FScratch;
};
