// TScratchFile: the working copy of an image while a command changes it, 0600 in a
// private folder (0700): beside the image when its folder takes new files, else in
// $XDG_RUNTIME_DIR, else in the temporary folder. The folder stays locked while the
// command runs, so that a later command tells one a killed command left from one in
// use. Removed on destruction, and by the signal handler when the command is interrupted.
#pragma once

#include "hostfile.h"

#include <filesystem>
#include <memory>

class TScratchFile {
  public:
    explicit TScratchFile(const std::filesystem::path& Target);
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::unique_ptr<HostFile::TTemporary> FFolder;
    std::filesystem::path FPath;
};

// Removes the scratch folders and temporary files of Target that killed commands left.
void RemoveStaleScratchFiles(const std::filesystem::path& Target);
