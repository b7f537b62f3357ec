// TScratchFile: a unique, not yet existing file name next to a target file, removed
// again on destruction unless it was moved onto its target.
#pragma once

#include <filesystem>

class TScratchFile {
  public:
    // Target's symbolic links are followed, so the file they point to is replaced.
    explicit TScratchFile(const std::filesystem::path& Target);
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    const std::filesystem::path& Target() const { return FTarget; }

    // Renames the scratch file onto the target, keeping the permissions of a target
    // that already exists. Raises ECliError when that fails.
    void MoveOntoTarget();

  private:
    std::filesystem::path FTarget;
    std::filesystem::path FPath;
    bool FMoved = false;
};
