// Reading and checking the arguments of d64tool.
#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

struct TCommandInfo {
    TCliCommand Command;
    const char* Name;
    const char* Usage;
    size_t MinOperands;
    size_t MaxOperands;
    std::vector<std::string> Options;
};

constexpr size_t Many = static_cast<size_t>(-1);

const std::vector<TCommandInfo>& Commands() {
    static const std::vector<TCommandInfo> table = {
        {TCliCommand::List,
         "list",
         "d64tool list IMAGE [--json] [--dos speed|dolphin]",
         1,
         1,
         {"--json", "--dos"}},
        {TCliCommand::Format,
         "format",
         "d64tool format IMAGE [FILE...] [--tracks 35|40] [--error-bytes] [--dos speed|dolphin] [--name "
         "NAME] "
         "[--id ID] [--force] [--kind d64|d71|d81] [--allow-duplicates] [--same-name replace|keep-both|skip]",
         1,
         Many,
         {"--tracks", "--error-bytes", "--dos", "--name", "--id", "--force", "--kind", "--allow-duplicates",
          "--same-name"}},
        {TCliCommand::Import,
         "import",
         "d64tool import IMAGE FILE... [--name NAME] [--type prg|seq|usr|del|rel] [--record-length N] "
         "[--allow-duplicates] [--same-name replace|keep-both|skip] [--ignore-write-protection] [--dos "
         "speed|dolphin]",
         2,
         Many,
         {"--name", "--type", "--record-length", "--allow-duplicates", "--same-name",
          "--ignore-write-protection", "--dos"}},
        {TCliCommand::Copy,
         "copy",
         "d64tool copy SOURCE DEST [NAME...] [--allow-duplicates] [--same-name replace|keep-both|skip] "
         "[--ignore-write-protection] [--dos speed|dolphin]",
         2,
         Many,
         {"--allow-duplicates", "--same-name", "--ignore-write-protection", "--dos"}},
        {TCliCommand::Export,
         "export",
         "d64tool export IMAGE DIR [NAME...] [--all] [--pc64]",
         2,
         Many,
         {"--all", "--pc64", "--dos"}},
        {TCliCommand::Scratch,
         "scratch",
         "d64tool scratch IMAGE NAME... [--all] [--ignore-write-protection] [--dos speed|dolphin]",
         2,
         Many,
         {"--all", "--ignore-write-protection", "--dos"}},
        {TCliCommand::Delete,
         "delete",
         "d64tool delete IMAGE NAME... [--all] [--ignore-write-protection] [--dos speed|dolphin]",
         2,
         Many,
         {"--all", "--ignore-write-protection", "--dos"}},
        {TCliCommand::Bam, "bam", "d64tool bam IMAGE [--dos speed|dolphin]", 1, 1, {"--dos"}},
        {TCliCommand::Validate,
         "validate",
         "d64tool validate IMAGE [--repair] [--json] [--ignore-write-protection] [--dos speed|dolphin]",
         1,
         1,
         {"--repair", "--json", "--ignore-write-protection", "--dos"}},
        {TCliCommand::Rename,
         "rename",
         "d64tool rename IMAGE OLD NEW [--allow-duplicates] [--ignore-write-protection] [--dos "
         "speed|dolphin]",
         3,
         3,
         {"--allow-duplicates", "--ignore-write-protection", "--dos"}},
        {TCliCommand::Sort,
         "sort",
         "d64tool sort IMAGE --by name|type|size [--ignore-write-protection] [--dos speed|dolphin]",
         1,
         1,
         {"--by", "--ignore-write-protection", "--dos"}},
        {TCliCommand::Move,
         "move",
         "d64tool move IMAGE NAME POSITION [--ignore-write-protection] [--dos speed|dolphin]",
         3,
         3,
         {"--ignore-write-protection", "--dos"}},
        {TCliCommand::Cat,
         "cat",
         "d64tool cat IMAGE NAME [--basic] [--text] [--hex] [--raw] [--lower] [--dos speed|dolphin]",
         2,
         2,
         {"--basic", "--text", "--hex", "--raw", "--lower", "--dos"}},
        {TCliCommand::Unscratch,
         "unscratch",
         "d64tool unscratch IMAGE NAME... [--all] [--ignore-write-protection] [--dos speed|dolphin]",
         2,
         Many,
         {"--all", "--ignore-write-protection", "--dos"}},
    };
    return table;
}

const TCommandInfo* FindCommand(TCliCommand Command) {
    for (const auto& info : Commands())
        if (info.Command == Command) return &info;
    return nullptr;
}

bool TakesValue(const std::string& Option) {
    return Option == "--tracks" || Option == "--dos" || Option == "--name" || Option == "--id" ||
           Option == "--type" || Option == "--record-length" || Option == "--by" || Option == "--kind" ||
           Option == "--same-name";
}

std::string Lower(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char c) { return std::tolower(c); });
    return Text;
}

int ParseNumber(const std::string& Text, const std::string& Option, TCliCommand Command) {
    int value = 0;
    const auto [end, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (ec != std::errc() || end != Text.data() + Text.size() || Text.empty())
        throw ECliUsageError(Option + " needs a number, not \"" + Text + "\"", Command);
    return value;
}

void ApplyOption(TCommandLine& Line, const std::string& Option, const std::string& Value) {
    const TCliCommand cmd = Line.Command;
    if (Option == "--json") {
        Line.Json = true;
    } else if (Option == "--error-bytes") {
        Line.ErrorBytes = true;
    } else if (Option == "--force") {
        Line.Force = true;
    } else if (Option == "--allow-duplicates") {
        Line.AllowDuplicates = true;
    } else if (Option == "--repair") {
        Line.Repair = true;
    } else if (Option == "--all") {
        Line.All = true;
    } else if (Option == "--pc64") {
        Line.Pc64 = true;
    } else if (Option == "--ignore-write-protection") {
        Line.IgnoreWriteProtection = true;
    } else if (Option == "--tracks") {
        Line.Tracks = ParseNumber(Value, Option, cmd);
        if (Line.Tracks != 35 && Line.Tracks != 40) throw ECliUsageError("--tracks must be 35 or 40", cmd);
    } else if (Option == "--kind") {
        Line.Kind = Lower(Value);
        if (Line.Kind != "d64" && Line.Kind != "d71" && Line.Kind != "d81")
            throw ECliUsageError("--kind must be d64, d71 or d81", cmd);
    } else if (Option == "--dos") {
        const std::string v = Lower(Value);
        if (v == "speed")
            Line.Dos = deSpeedDos;
        else if (v == "dolphin")
            Line.Dos = deDolphinDos;
        else
            throw ECliUsageError("--dos must be speed or dolphin", cmd);
    } else if (Option == "--name") {
        Line.Name = Value;
    } else if (Option == "--id") {
        Line.Id = Value;
    } else if (Option == "--type") {
        const std::string v = Lower(Value);
        if (v == "prg")
            Line.Type = fkPrg;
        else if (v == "seq")
            Line.Type = fkSeq;
        else if (v == "usr")
            Line.Type = fkUsr;
        else if (v == "del")
            Line.Type = fkDel;
        else if (v == "rel")
            Line.Type = fkRel;
        else
            throw ECliUsageError("--type must be prg, seq, usr, del or rel", cmd);
    } else if (Option == "--same-name") {
        const std::string v = Lower(Value);
        if (v == "replace")
            Line.SameName = TSameName::Replace;
        else if (v == "keep-both")
            Line.SameName = TSameName::KeepBoth;
        else if (v == "skip")
            Line.SameName = TSameName::Skip;
        else
            throw ECliUsageError("--same-name must be replace, keep-both or skip", cmd);
    } else if (Option == "--by") {
        Line.SortBy = Lower(Value);
        if (*Line.SortBy != "name" && *Line.SortBy != "type" && *Line.SortBy != "size")
            throw ECliUsageError("--by must be name, type or size", cmd);
    } else if (Option == "--basic" || Option == "--text" || Option == "--hex" || Option == "--raw") {
        if (Line.CatView != TCatView::Fitting)
            throw ECliUsageError("only one of --basic, --text, --hex and --raw", cmd);
        Line.CatView = Option == "--basic"  ? TCatView::Basic
                       : Option == "--text" ? TCatView::Text
                       : Option == "--hex"  ? TCatView::Hex
                                            : TCatView::Raw;
    } else if (Option == "--lower") {
        Line.Lower = true;
    } else if (Option == "--record-length") {
        Line.RecordLength = ParseNumber(Value, Option, cmd);
        if (*Line.RecordLength < 1 || *Line.RecordLength > 254)
            throw ECliUsageError("--record-length must be 1 to 254", cmd);
    }
}

void CheckCombinations(const TCommandLine& Line) {
    const TCliCommand cmd = Line.Command;
    if (cmd == TCliCommand::Sort && !Line.SortBy) throw ECliUsageError("sort needs --by name|type|size", cmd);
    if (cmd == TCliCommand::Move) {
        const int position = ParseNumber(Line.Operands[2], "POSITION", cmd);
        if (position < 1) throw ECliUsageError("POSITION counts from 1", cmd);
    }
    if (Line.SameName && Line.AllowDuplicates)
        throw ECliUsageError("--same-name and --allow-duplicates exclude each other", cmd);
    if (cmd != TCliCommand::Import) return;
    if (Line.Type == fkRel && !Line.RecordLength)
        throw ECliUsageError("--type rel needs --record-length", cmd);
    if (Line.RecordLength && Line.Type != fkRel)
        throw ECliUsageError("--record-length is only for --type rel", cmd);
    if (Line.Name && Line.Operands.size() > 2) throw ECliUsageError("--name names a single FILE", cmd);
}

} // namespace

TCommandLine TCommandLine::Parse(const std::vector<std::string>& Args) {
    TCommandLine line;
    if (Args.empty()) throw ECliUsageError("no command given", TCliCommand::None);
    if (Args[0] == "-h" || Args[0] == "--help" || Args[0] == "help") {
        line.Command = TCliCommand::Help;
        line.Operands.assign(Args.begin() + 1, Args.end());
        return line;
    }
    const TCommandInfo* info = nullptr;
    for (const auto& candidate : Commands())
        if (Args[0] == candidate.Name) info = &candidate;
    if (!info) throw ECliUsageError("unknown command \"" + Args[0] + "\"", TCliCommand::None);
    line.Command = info->Command;

    bool optionsEnded = false;
    for (size_t i = 1; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            line.Operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            line.Command = TCliCommand::Help;
            line.Operands = {info->Name};
            return line;
        }
        std::string option = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
            option = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (std::find(info->Options.begin(), info->Options.end(), option) == info->Options.end())
            throw ECliUsageError("unknown option \"" + option + "\" for " + info->Name, info->Command);
        if (TakesValue(option)) {
            if (!value) {
                if (i + 1 >= Args.size()) throw ECliUsageError(option + " needs a value", info->Command);
                value = Args[++i];
            }
        } else if (value) {
            throw ECliUsageError(option + " takes no value", info->Command);
        }
        ApplyOption(line, option, value.value_or(std::string()));
    }
    if (line.Operands.size() < info->MinOperands)
        throw ECliUsageError(std::string("missing operand for ") + info->Name, info->Command);
    if (info->MaxOperands != Many && line.Operands.size() > info->MaxOperands)
        throw ECliUsageError(std::string("too many operands for ") + info->Name, info->Command);
    CheckCombinations(line);
    return line;
}

TCliCommand CommandByName(const std::string& Name) {
    for (const auto& info : Commands())
        if (Name == info.Name) return info.Command;
    return TCliCommand::None;
}

std::string UsageText(TCliCommand Command) {
    std::string text;
    if (const TCommandInfo* info = FindCommand(Command)) return std::string("usage: ") + info->Usage + "\n";
    text = "usage:\n";
    for (const auto& info : Commands())
        text += std::string("  ") + info.Usage + "\n";
    text += "Names use host a-z for PETSCII 0x41-0x5A, A-Z for 0xC1-0xDA, and {$XX} for other bytes.\n"
            "A name counts up to its first shifted space {$A0}, as on the drive; a NAME that matches\n"
            "several files is refused unless --all takes all of them.\n"
            "cat prints the view that fits the file (a BASIC listing, PETSCII text or hex rows)\n"
            "in UTF-8, C64 characters as their Unicode look-alikes and {$XX} where there is none.\n"
            "Commands that change an image refuse a soft write protected one unless given\n"
            "--ignore-write-protection.\n"
            "format writes the FILEs given into the new image as import does, in the same save.\n"
            "import takes a file's type from its extension (.prg, .seq, .usr, .del; .p00, .s00, .u00,\n"
            ".r00 and on are PC64 files; a .t64 tape image or a .d64 image gives all its files); export\n"
            "names each file by its type, or with --pc64 writes PC64 files keeping name and type.\n";
    return text;
}
