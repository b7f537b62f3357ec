// Scratch files for images being changed.
#include "ScratchFile.h"

#include "CliError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string FolderPrefix(const fs::path& Target) {
    return "." + Target.filename().string() + ".d64tool-";
}

// The folders a scratch folder may go in, the image's own first.
std::vector<std::string> ScratchPlaces(const fs::path& Target) {
    const std::string Own = Target.parent_path().string();
    std::vector<std::string> Places{Own.empty() ? std::string(".") : Own};
    const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
    if (Runtime && Runtime[0] == '/') Places.emplace_back(Runtime);
    std::error_code ec;
    const fs::path Temp = fs::temp_directory_path(ec);
    if (!ec) Places.push_back(Temp.string());
    return Places;
}

} // namespace

TScratchFile::TScratchFile(const fs::path& Target) {
    const std::vector<std::string> Places = ScratchPlaces(Target);
    std::string BesideError;
    for (const std::string& Place : Places) {
        try {
            FFolder = std::make_unique<HostFile::TTemporary>(Place + "/" + FolderPrefix(Target) + "XXXXXX",
                                                             HostFile::TTemporary::TKind::Folder);
            break;
        } catch (const std::system_error& Error) {
            if (BesideError.empty()) BesideError = std::strerror(Error.code().value());
        }
    }
    if (!FFolder) throw ECliError("Can't create a scratch file in " + Places[0] + ": " + BesideError);
    // Listed before it exists, so that the folder is never left holding it; made here,
    // empty and 0600, so that the engine's copy over it keeps that mode.
    FPath = fs::path(FFolder->Path()) / Target.filename();
    HostFile::RegisterTemporaryFile(FPath.string());
    const int Fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (Fd < 0) {
        const int Error = errno;
        HostFile::UnregisterTemporaryFile(FPath.string());
        throw ECliError("Can't create a scratch file in " + FFolder->Path() + ": " + std::strerror(Error));
    }
    ::close(Fd);
}

TScratchFile::~TScratchFile() {
    std::error_code ec;
    fs::remove(FPath, ec);
    HostFile::UnregisterTemporaryFile(FPath.string());
}

void RemoveStaleScratchFiles(const fs::path& Target) {
    const std::vector<std::string> Places = ScratchPlaces(Target);
    HostFile::RemoveStaleTemporaries(
        Places[0], {FolderPrefix(Target), HostFile::TemporaryPrefix(Target.filename().string())});
    for (size_t i = 1; i < Places.size(); ++i)
        HostFile::RemoveStaleTemporaries(Places[i], {FolderPrefix(Target)});
}
