// Scratch files for images being changed.
#include "ScratchFile.h"

#include "CliError.h"
#include "hostfile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A name nobody else uses in Dir, or empty with errno set.
std::string PickName(const fs::path& Dir, const std::string& Base) {
    std::string pattern = (Dir / ("." + Base + ".d64tool-XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return {};
    close(fd);
    return pattern;
}

} // namespace

TScratchFile::TScratchFile(const fs::path& Target) {
    fs::path dir = Target.parent_path();
    if (dir.empty()) dir = ".";
    std::string name = PickName(dir, Target.filename().string());
    if (name.empty()) {
        const int besideError = errno;
        std::error_code ec;
        name = PickName(fs::temp_directory_path(ec), Target.filename().string());
        if (name.empty())
            throw ECliError("Can't create a scratch file in " + dir.string() + ": " +
                            std::strerror(besideError));
    }
    FPath = name;
    HostFile::RegisterTemporaryFile(FPath.string());
    // The engine writes a whole image only where it finds no file, so the name is
    // handed over free; mkstemp only served to pick a name nobody else uses.
    std::error_code ec;
    fs::remove(FPath, ec);
}

TScratchFile::~TScratchFile() {
    std::error_code ec;
    fs::remove(FPath, ec);
    HostFile::UnregisterTemporaryFile(FPath.string());
}
