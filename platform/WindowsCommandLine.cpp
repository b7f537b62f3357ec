// Cutting a command line into arguments by the Windows C runtime rules.
#include "WindowsCommandLine.h"

namespace WindowsCommandLine {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> Split(std::string_view CommandLine) {
    std::vector<std::string> Arguments;
    const std::size_t Length = CommandLine.size();
    std::size_t i = 0;
    for (;;) {
        while (i < Length && IsBlank(CommandLine[i]))
            ++i;
        if (i >= Length) break;

        std::string Argument;
        bool Quoted = false;
        while (i < Length && (Quoted || !IsBlank(CommandLine[i]))) {
            if (CommandLine[i] == '\\') {
                std::size_t Count = 0;
                while (i < Length && CommandLine[i] == '\\') {
                    ++Count;
                    ++i;
                }
                if (i < Length && CommandLine[i] == '"') {
                    // Backslashes escape each other and, when odd, the quote.
                    Argument.append(Count / 2, '\\');
                    if (Count % 2 == 0) continue;
                    Argument += '"';
                    ++i;
                } else {
                    Argument.append(Count, '\\');
                }
            } else if (CommandLine[i] == '"') {
                if (Quoted && i + 1 < Length && CommandLine[i + 1] == '"') {
                    Argument += '"';
                    i += 2;
                } else {
                    Quoted = !Quoted;
                    ++i;
                }
            } else {
                Argument += CommandLine[i++];
            }
        }
        Arguments.push_back(std::move(Argument));
    }
    return Arguments;
}

} // namespace WindowsCommandLine
