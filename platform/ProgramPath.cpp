// Finding a configured program: home folder and PATH.
#include "ProgramPath.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsExecutableFile(const std::string& Path) {
    struct stat Status {};
    return stat(Path.c_str(), &Status) == 0 && S_ISREG(Status.st_mode) && access(Path.c_str(), X_OK) == 0;
}

std::string Variable(const char* Name) {
    const char* Value = std::getenv(Name);
    return Value ? Value : "";
}

} // namespace

std::string ProgramPath::Find(const std::string& Location, const std::string& Path, const std::string& Home) {
    if (Location == "~") return Home;
    if (Location.starts_with("~/")) return Home + Location.substr(1);
    if (Location.empty() || Location.find('/') != std::string::npos) return Location;
    std::size_t Start = 0;
    while (Start <= Path.size()) {
        const std::size_t End = std::min(Path.find(':', Start), Path.size());
        const std::string Dir = End > Start ? Path.substr(Start, End - Start) : ".";
        const std::string Candidate = Dir + (Dir.ends_with('/') ? "" : "/") + Location;
        if (IsExecutableFile(Candidate)) return Candidate;
        Start = End + 1;
    }
    return Location;
}

std::string ProgramPath::Find(const std::string& Location) {
    return Find(Location, Variable("PATH"), Variable("HOME"));
}
