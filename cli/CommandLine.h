// TCommandLine: the subcommand, its operands and options, read from the arguments
// of d64tool and checked before any image is touched.
#pragma once

#include "CatCommand.h"
#include "ImportPlan.h"
#include "cmd_types.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class TCliCommand {
    None,
    Help,
    List,
    Format,
    Import,
    Copy,
    Export,
    Scratch,
    Delete,
    Bam,
    Validate,
    Rename,
    Sort,
    Move,
    Cat,
    Unscratch
};

// A malformed command line: exit status 2 with the usage of the command.
class ECliUsageError : public std::runtime_error {
  public:
    ECliUsageError(const std::string& Message, TCliCommand Command)
        : std::runtime_error(Message), Command(Command) {}
    TCliCommand Command;
};

struct TCommandLine {
    TCliCommand Command = TCliCommand::None;
    std::vector<std::string> Operands;

    bool Json = false;
    int Tracks = 35;
    // format: the image kind, "d64", "d71" or "d81".
    std::string Kind = "d64";
    bool ErrorBytes = false;
    std::optional<TDosEmulation> Dos;
    std::optional<std::string> Name;
    std::optional<std::string> Id;
    std::optional<TFileKind> Type;
    std::optional<int> RecordLength;
    bool IgnoreWriteProtection = false;
    bool Force = false;
    bool AllowDuplicates = false;
    // import, copy, format with files: what to do with a name the image already holds
    // (without it such a file is refused).
    std::optional<TSameName> SameName;
    bool All = false;
    bool Repair = false;
    bool Pc64 = false;
    std::optional<std::string> SortBy;
    // cat: the view, and the lower case character set.
    TCatView CatView = TCatView::Fitting;
    bool Lower = false;

    // Arguments without the program name. Raises ECliUsageError.
    static TCommandLine Parse(const std::vector<std::string>& Args);
};

// The command of a subcommand name; None for an unknown name.
TCliCommand CommandByName(const std::string& Name);

// The usage lines of one command, or of all of them for TCliCommand::None/Help.
std::string UsageText(TCliCommand Command);
