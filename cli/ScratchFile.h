// TScratchFile: a unique, not yet existing file name for a working copy of an image:
// beside it when its folder takes new files, else in the temporary folder. Removed on
// destruction, and by the signal handler when the command is interrupted.
#pragma once

#include <filesystem>

class TScratchFile {
  public:
    explicit TScratchFile(const std::filesystem::path& Target);
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};
