// The Windows rules by which a program's C runtime cuts its command line into
// arguments. The emulators are handed one argument string in that form; on this
// platform it is cut here and each piece becomes one argument of the started program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace WindowsCommandLine {

// Arguments of a command line that does not begin with a program name: blanks and tabs
// separate arguments; double quotes group text with blanks and may sit inside an
// argument ("path",2 is the one argument path,2); "" inside quotes is a literal quote;
// 2n backslashes before a quote give n backslashes, 2n+1 give n and a literal quote;
// other backslashes are literal. Bytes are kept as they are.
std::vector<std::string> Split(std::string_view CommandLine);

} // namespace WindowsCommandLine
