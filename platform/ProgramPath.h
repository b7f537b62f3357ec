// Where a configured program file is, as a shell would find it: "~/" stands for the home
// folder and a bare program name is looked up in the folders of PATH.
#pragma once

#include <string>

namespace ProgramPath {

// Location with a leading "~/" (or a lone "~") replaced by Home; a name without a slash
// becomes the first executable file of that name in the folders of Path (an empty folder
// meaning the current one), or stays as it is when there is none; any other path stays as
// it is.
std::string Find(const std::string& Location, const std::string& Path, const std::string& Home);

// The same with this process's PATH and HOME.
std::string Find(const std::string& Location);

} // namespace ProgramPath
