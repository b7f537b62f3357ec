// Scratch files next to the image they will replace.
#include "ScratchFile.h"

#include "CliError.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

TScratchFile::TScratchFile(const fs::path& Target) {
    std::error_code ec;
    FTarget = fs::exists(Target, ec) ? fs::canonical(Target, ec) : Target;
    if (ec) FTarget = Target;
    fs::path dir = FTarget.parent_path();
    if (dir.empty()) dir = ".";
    std::string pattern = (dir / ("." + FTarget.filename().string() + ".d64tool-XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw ECliError("Can't create a scratch file in " + dir.string());
    close(fd);
    // The engine writes a whole image only where it finds no file, so the name is
    // handed over free; mkstemp only served to pick a name nobody else uses.
    FPath = pattern;
    fs::remove(FPath, ec);
}

TScratchFile::~TScratchFile() {
    if (FMoved) return;
    std::error_code ec;
    fs::remove(FPath, ec);
}

void TScratchFile::MoveOntoTarget() {
    std::error_code ec;
    const fs::file_status status = fs::status(FTarget, ec);
    if (!ec && fs::exists(status))
        fs::permissions(FPath, status.permissions(), ec);
    else
        fs::permissions(FPath,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read,
                        ec);
    ec.clear();
    fs::rename(FPath, FTarget, ec);
    if (ec) throw ECliError("Can't write " + FTarget.string() + ": " + ec.message());
    FMoved = true;
}
