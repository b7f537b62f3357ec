// The subcommands of d64tool: list, format, import, copy, export, scratch, delete, bam.
#include "Commands.h"

#include "CommandLine.h"
#include "HostImport.h"
#include "ImageTransaction.h"
#include "Listing.h"
#include "NameConvention.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>

namespace fs = std::filesystem;

namespace {

// Routes the engine's information messages to Err while a command runs.
class TNotifyToStream {
  public:
    explicit TNotifyToStream(std::ostream& Err) {
        TC64Disk::SetNotifyHook([&Err](const std::string& Message) { Err << Message << "\n"; });
    }
    ~TNotifyToStream() { TC64Disk::SetNotifyHook(nullptr); }
};

// The directory entries named on the command line, in listing order; every file of a
// given name is taken. No names selects every file. Raises ECliError for names that
// match no file, before anything is done with the others.
std::vector<uint8_t*> SelectFiles(const TListing& Listing, const std::vector<std::string>& Names) {
    std::vector<PetsciiString> wanted;
    for (const auto& name : Names)
        wanted.push_back(CliNameToPetscii(name));
    std::vector<uint8_t*> entries;
    std::set<PetsciiString> found;
    for (const auto& file : Listing.Files) {
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), file.Name) != wanted.end()) {
            entries.push_back(file.Entry);
            found.insert(file.Name);
        }
    }
    std::string missing;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (!found.count(wanted[i])) missing += (missing.empty() ? "" : ", ") + ("\"" + Names[i] + "\"");
    if (!missing.empty()) throw ECliError("File not found: " + missing);
    return entries;
}

ByteArray ReadHostFile(const std::string& Path) {
    std::error_code ec;
    if (!fs::is_regular_file(Path, ec)) throw ECliError("Can't read " + Path + ": not a regular file");
    std::ifstream in(Path, std::ios::binary);
    ByteArray bytes;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (in.bad() || !in.eof()) throw ECliError("Can't read " + Path);
    return bytes;
}

void WriteHostFile(const fs::path& Path, const ByteArray& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    out.close();
    if (!out) throw ECliError("Can't write " + Path.string());
}

int List(const TCommandLine& Line, std::ostream& Out) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos);
    TListing listing;
    try {
        listing.Read(*disk);
    } catch (const EC64DiskException&) {
        // A damaged directory: show what could be read before the refusal.
        if (!Line.Json) Out << listing.FormatText(false);
        throw;
    }
    Out << (Line.Json ? listing.FormatJson() : listing.FormatText());
    return ecOk;
}

int Format(const TCommandLine& Line) {
    const std::string& path = Line.Operands[0];
    const PetsciiString name = CliNameToPetscii(Line.Name.value_or("unnamed"));
    const PetsciiString id = CliNameToPetscii(Line.Id.value_or("01 2a"));
    std::error_code ec;
    if (fs::exists(path, ec) && !Line.Force)
        throw ECliError("File already exists: " + path + " (use --force to replace it)");

    int type = Line.Tracks == 40 ? dt40Tracks : dt35Tracks;
    if (Line.ErrorBytes) ++type;
    const TDosEmulation dos = Line.Tracks == 40 ? Line.Dos.value_or(deSpeedDos) : deCbmDos;

    TScratchFile scratch(path);
    auto disk = TC64Disk::CreateDiskImage(scratch.Path().string(), static_cast<TDiskType>(type), dos);
    if (!disk) throw ECliError("Can't create " + path);
    disk->SetDiskName(name);
    disk->SetDiskID(id);
    disk->SetDosType(id.size() > 3 ? id.substr(3, 2) : PetsciiString());
    disk->Save();
    disk.reset();
    scratch.MoveOntoTarget();
    return ecOk;
}

int Import(const TCommandLine& Line) {
    struct THostFile {
        PetsciiString Name;
        TFileKind Kind;
        ByteArray Bytes;
    };
    std::vector<THostFile> files;
    for (size_t i = 1; i < Line.Operands.size(); ++i) {
        const std::string& path = Line.Operands[i];
        THostFile file;
        if (Line.Name) {
            file.Name = CliNameToPetscii(*Line.Name).substr(0, 16);
        } else {
            try {
                file.Name = C64NameFromHostPath(path);
            } catch (const ECliNameError& e) {
                throw ECliNameError(std::string(e.what()) + ", or give the file its C64 name with --name");
            }
        }
        file.Kind = Line.Type.value_or(KindFromHostPath(path));
        files.push_back(std::move(file));
    }
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection);
    image.Begin();
    for (size_t i = 0; i < files.size(); ++i)
        files[i].Bytes = ReadHostFile(Line.Operands[i + 1]);
    for (const auto& file : files)
        ImportBytes(image.Disk(), file.Bytes, file.Name, file.Kind, Line.RecordLength.value_or(0));
    image.Commit();
    return ecOk;
}

int Copy(const TCommandLine& Line) {
    const std::string& sourcePath = Line.Operands[0];
    const std::string& destPath = Line.Operands[1];
    std::error_code ec;
    if (fs::equivalent(sourcePath, destPath, ec))
        throw ECliError("Source and destination are the same image: " + destPath);
    auto source = OpenImage(sourcePath, Line.Dos);
    TListing listing;
    listing.Read(*source);
    const std::vector<uint8_t*> entries =
        SelectFiles(listing, std::vector<std::string>(Line.Operands.begin() + 2, Line.Operands.end()));

    TImageTransaction dest(destPath, Line.Dos, Line.IgnoreWriteProtection);
    dest.Begin();
    for (uint8_t* entry : entries)
        dest.Disk().CopyFileFrom(entry, *source);
    dest.Commit();
    return ecOk;
}

int Export(const TCommandLine& Line) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos);
    const fs::path dir = Line.Operands[1];
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw ECliError("Can't find directory: " + dir.string());
    TListing listing;
    listing.Read(*disk);
    const std::vector<uint8_t*> entries =
        SelectFiles(listing, std::vector<std::string>(Line.Operands.begin() + 2, Line.Operands.end()));

    // Every file is read and every host name settled before the first file is written.
    std::vector<std::pair<fs::path, ByteArray>> outputs;
    std::set<fs::path> targets;
    for (uint8_t* entry : entries) {
        const fs::path target = dir / (PetsciiToFileName(entry + 5, 15) + ".prg");
        if (!targets.insert(target).second)
            throw ECliError("Two files would be written to " + target.string() + "; name the one to export");
        outputs.emplace_back(target, disk->LoadFile(entry));
    }
    for (const auto& [target, bytes] : outputs)
        WriteHostFile(target, bytes);
    return ecOk;
}

int Scratch(const TCommandLine& Line, bool Wipe) {
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection);
    image.Begin();
    TListing listing;
    listing.Read(image.Disk());
    const std::vector<uint8_t*> entries =
        SelectFiles(listing, std::vector<std::string>(Line.Operands.begin() + 1, Line.Operands.end()));
    image.Disk().ScratchFiles(entries, Wipe);
    image.Commit();
    return ecOk;
}

int Bam(const TCommandLine& Line, std::ostream& Out) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos);
    Out << FormatBamChart(*disk);
    return ecOk;
}

int Help(const TCommandLine& Line, std::ostream& Out) {
    Out << UsageText(Line.Operands.empty() ? TCliCommand::None : CommandByName(Line.Operands[0]));
    return ecOk;
}

int Run(const TCommandLine& Line, std::ostream& Out) {
    switch (Line.Command) {
    case TCliCommand::List:
        return List(Line, Out);
    case TCliCommand::Format:
        return Format(Line);
    case TCliCommand::Import:
        return Import(Line);
    case TCliCommand::Copy:
        return Copy(Line);
    case TCliCommand::Export:
        return Export(Line);
    case TCliCommand::Scratch:
        return Scratch(Line, false);
    case TCliCommand::Delete:
        return Scratch(Line, true);
    case TCliCommand::Bam:
        return Bam(Line, Out);
    case TCliCommand::Help:
        return Help(Line, Out);
    case TCliCommand::None:
        break;
    }
    return ecUsage;
}

} // namespace

int RunD64Tool(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    TNotifyToStream notify(Err);
    TCliCommand command = TCliCommand::None;
    try {
        const TCommandLine line = TCommandLine::Parse(Args);
        command = line.Command;
        return Run(line, Out);
    } catch (const ECliUsageError& e) {
        Err << "d64tool: " << e.what() << "\n" << UsageText(e.Command);
        return ecUsage;
    } catch (const ECliNameError& e) {
        Err << "d64tool: " << e.what() << "\n" << UsageText(command);
        return ecUsage;
    } catch (const std::exception& e) {
        // Engine refusals keep their exact text; host failures say what failed.
        Err << e.what() << "\n";
        return ecRefused;
    }
}
