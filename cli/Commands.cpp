// The subcommands of d64tool: list, format, import, copy, export, scratch, delete, bam,
// validate, unscratch, rename, sort, move, cat.
#include "Commands.h"

#include "CommandLine.h"
#include "HostExport.h"
#include "ImageTransaction.h"
#include "ImportPlan.h"
#include "Listing.h"
#include "NameConvention.h"
#include "Reorder.h"
#include "UnscratchCommand.h"
#include "ValidateCommand.h"

#include <filesystem>
#include <functional>
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

// A name as the drive compares it: up to its first shifted space.
PetsciiString DriveName(const PetsciiString& Name) {
    return Name.substr(0, Name.find('\xA0'));
}

// The directory entries named on the command line, in listing order; no names selects
// every file. Raises ECliError, before anything is done with the others, for names that
// match no file and, unless All, for a name that matches several.
std::vector<uint8_t*> SelectFiles(const TListing& Listing, const std::vector<std::string>& Names, bool All) {
    std::vector<PetsciiString> wanted;
    for (const auto& name : Names)
        wanted.push_back(DriveName(CliNameToPetscii(name)));
    std::vector<uint8_t*> entries;
    std::vector<int> matches(wanted.size());
    for (const auto& file : Listing.Files) {
        bool named = wanted.empty();
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i] != file.Name) continue;
            ++matches[i];
            named = true;
        }
        if (named) entries.push_back(file.Entry);
    }
    std::string missing;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (matches[i] == 0) missing += (missing.empty() ? "" : ", ") + ("\"" + Names[i] + "\"");
    if (!missing.empty()) throw ECliError("File not found: " + missing);
    for (size_t i = 0; i < wanted.size() && !All; ++i)
        if (matches[i] > 1)
            throw ECliError("\"" + Names[i] + "\" names " + std::to_string(matches[i]) +
                            " files (use --all to take all of them)");
    return entries;
}

// A second file of a name already on the disk (or written twice) could never be named
// again: refused as a 1541 refuses it, unless AllowDuplicates.
void RefuseDuplicates(TC64Disk& Disk, const std::vector<PetsciiString>& Names, bool AllowDuplicates) {
    if (AllowDuplicates) return;
    TListing listing;
    listing.Read(Disk);
    std::set<PetsciiString> taken;
    for (const auto& file : listing.Files)
        taken.insert(file.Name);
    for (const auto& name : Names)
        if (!taken.insert(DriveName(name)).second)
            throw ECliError("FILE EXISTS: \"" + PetsciiToCliName(name) +
                            "\" (use --allow-duplicates to add it anyway)");
}

int List(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos, Err);
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

// The files one host file operand holds, with --type and FileName applied; a name cut
// to the 16 characters of a directory entry is said so.
std::vector<TImportFile> ImportedFiles(const TCommandLine& Line, const std::string& HostPath,
                                       const std::optional<std::string>& FileName, std::ostream& Err) {
    std::vector<TImportFile> files;
    if (Line.Type)
        files.push_back(MakeImportFile(ReadHostBytes(HostPath), HostFileNameToPetscii(HostPath), *Line.Type,
                                       Line.RecordLength.value_or(0)));
    else
        files = ReadHostFile(HostPath, true);
    if (FileName) {
        if (files.size() != 1)
            throw ECliError("--name names a single file, and " + HostPath + " holds " +
                            std::to_string(files.size()));
        const PetsciiString name = CliNameToPetscii(*FileName);
        StringToPetscii(name, files[0].Entry.data() + 5, 15);
        files[0].NameCut = name.size() > 16;
    }
    for (const TImportFile& file : files)
        if (file.NameCut)
            Err << "d64tool: the name of " << HostPath << " is cut to 16 characters: \""
                << PetsciiToCliName(file.Name()) << "\"\n";
    return files;
}

// Writes the host files named by the operands from First on into Disk, refusing names
// the disk or the batch already holds unless --allow-duplicates.
// The one answer of --same-name, given for every taken name.
TSameNameQuestion SameNameAnswer(TSameName Answer) {
    return [Answer](const PetsciiString&) { return Answer; };
}

// Copies with --same-name: each file replaces the file of its name, goes in under a free
// name or is left out.
void CopyAnswering(TC64Disk& Dest, TC64Disk& Source, const std::vector<uint8_t*>& Entries, TSameName Answer) {
    TImportPlan plan = PlanCopy(Dest, Entries, SameNameAnswer(Answer));
    for (size_t i = 0; i < Entries.size(); ++i)
        CopyPlannedFile(Dest, Source, Entries[i], plan, i);
}

void ImportInto(TC64Disk& Disk, const TCommandLine& Line, size_t First,
                const std::optional<std::string>& FileName, std::ostream& Err) {
    TImportPlan plan;
    for (size_t i = First; i < Line.Operands.size(); ++i)
        for (TImportFile& file : ImportedFiles(Line, Line.Operands[i], FileName, Err))
            plan.Files.push_back(std::move(file));
    if (Line.SameName) {
        plan = PlanImport(Disk, std::move(plan.Files), SameNameAnswer(*Line.SameName));
    } else {
        plan.Steps.resize(plan.Files.size());
        std::vector<PetsciiString> names;
        for (const auto& file : plan.Files)
            names.push_back(file.Name());
        RefuseDuplicates(Disk, names, Line.AllowDuplicates);
    }
    RunImport(Disk, plan);
}

int Format(const TCommandLine& Line, std::ostream& Err) {
    const std::string& path = Line.Operands[0];
    const PetsciiString name = CliNameToPetscii(Line.Name.value_or("unnamed"));
    const bool d81 = Line.Kind == "d81";
    // The DOS type each drive's format writes.
    const PetsciiString id = CliNameToPetscii(Line.Id.value_or(d81 ? "01 3d" : "01 2a"));
    std::error_code ec;
    if (fs::exists(path, ec) && !Line.Force)
        throw ECliError("File already exists: " + path + " (use --force to replace it)");

    int type = Line.Tracks == 40 ? dt40Tracks : dt35Tracks;
    if (Line.Kind != "d64") {
        if (Line.Tracks != 35 || Line.Dos)
            throw ECliUsageError("--tracks and --dos are for d64 images", Line.Command);
        type = d81 ? dtD81 : dt71;
    }
    if (Line.ErrorBytes) ++type;
    const TDosEmulation dos = Line.Tracks == 40 ? Line.Dos.value_or(deSpeedDos) : deCbmDos;

    auto disk = TC64Disk::CreateDiskImage(path, static_cast<TDiskType>(type), dos);
    if (!disk) throw ECliError("Can't create " + path);
    // Built in memory, files and all, and written once, so that a failure leaves no half image.
    disk->BeginUpdate();
    disk->SetDiskName(name);
    disk->SetDiskID(id);
    disk->SetDosType(id.size() > 3 ? id.substr(3, 2) : PetsciiString());
    ImportInto(*disk, Line, 1, std::nullopt, Err);
    disk->EndUpdate(false);
    disk->Save();
    return ecOk;
}

int Import(const TCommandLine& Line, std::ostream& Err) {
    // A --name that cannot be read is refused before the image is touched.
    if (Line.Name) CliNameToPetscii(*Line.Name);
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection, Err);
    image.Begin();
    ImportInto(image.Disk(), Line, 1, Line.Name, Err);
    image.Commit();
    return ecOk;
}

int Copy(const TCommandLine& Line, std::ostream& Err) {
    const std::string& sourcePath = Line.Operands[0];
    const std::string& destPath = Line.Operands[1];
    std::error_code ec;
    if (fs::equivalent(sourcePath, destPath, ec))
        throw ECliError("Source and destination are the same image: " + destPath);
    auto source = OpenImage(sourcePath, Line.Dos, Err);
    TListing listing;
    listing.Read(*source);
    // A name that several source files share takes all of them; the destination then
    // refuses them as duplicates unless allowed.
    const std::vector<uint8_t*> entries =
        SelectFiles(listing, std::vector<std::string>(Line.Operands.begin() + 2, Line.Operands.end()), true);

    TImageTransaction dest(destPath, Line.Dos, Line.IgnoreWriteProtection, Err);
    dest.Begin();
    if (Line.SameName) {
        CopyAnswering(dest.Disk(), *source, entries, *Line.SameName);
    } else {
        std::vector<PetsciiString> names;
        for (const uint8_t* entry : entries)
            names.push_back(PetsciiToString(entry + 5, 15));
        RefuseDuplicates(dest.Disk(), names, Line.AllowDuplicates);
        dest.Disk().CopyFilesFrom(entries, *source);
    }
    dest.Commit();
    return ecOk;
}

int Export(const TCommandLine& Line, std::ostream& Err) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos, Err);
    const fs::path dir = Line.Operands[1];
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw ECliError("Can't find directory: " + dir.string());
    TListing listing;
    listing.Read(*disk);
    const std::vector<uint8_t*> entries = SelectFiles(
        listing, std::vector<std::string>(Line.Operands.begin() + 2, Line.Operands.end()), Line.All);

    // Every file is read and every host name settled before the first file is written.
    const TExportFormat format = Line.Pc64 ? TExportFormat::Pc64 : TExportFormat::Plain;
    std::vector<std::pair<fs::path, ByteArray>> outputs;
    std::set<fs::path> targets;
    for (uint8_t* entry : entries) {
        const fs::path target = dir / ExportFileName(entry, format);
        if (!targets.insert(target).second)
            throw ECliError("Two files would be written to " + target.string() + "; name the one to export");
        outputs.emplace_back(target, ExportFileBytes(entry, disk->LoadFile(entry), format));
    }
    // Every file goes through a temporary file synced and renamed into place, so that a
    // failed write never costs the file it would have replaced; the files are synced
    // together and the folder once, after them all. The files written before a failure
    // are still put in place.
    HostFile::TReplaceBatch batch;
    try {
        for (const auto& [target, bytes] : outputs)
            batch.Add(target.string(), bytes.data(), bytes.size());
    } catch (...) {
        batch.Commit();
        throw;
    }
    batch.Commit();
    return ecOk;
}

int Scratch(const TCommandLine& Line, bool Wipe, std::ostream& Err) {
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection, Err);
    image.Begin();
    TListing listing;
    listing.Read(image.Disk());
    const std::vector<uint8_t*> entries = SelectFiles(
        listing, std::vector<std::string>(Line.Operands.begin() + 1, Line.Operands.end()), Line.All);
    image.Disk().ScratchFiles(entries, Wipe);
    image.Commit();
    return ecOk;
}

int Bam(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos, Err);
    Out << FormatBamChart(*disk);
    return ecOk;
}

// The one listed file a NAME operand picks.
uint8_t* SelectOneFile(TC64Disk& Disk, const std::string& Name) {
    TListing listing;
    listing.Read(Disk);
    const std::vector<uint8_t*> entries = SelectFiles(listing, {Name}, true);
    if (entries.size() > 1)
        throw ECliError("\"" + Name + "\" names " + std::to_string(entries.size()) + " files; name one file");
    return entries.front();
}

// Runs Change on the command's image in one transaction: all of it is written or nothing.
int ChangeImage(const TCommandLine& Line, std::ostream& Err, const std::function<void(TC64Disk&)>& Change) {
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection, Err);
    image.Begin();
    Change(image.Disk());
    image.Commit();
    return ecOk;
}

int Rename(const TCommandLine& Line, std::ostream& Err) {
    const PetsciiString name = CliNameToPetscii(Line.Operands[2]);
    if (name.size() > 16)
        throw ECliError("A file name has at most 16 characters: \"" + Line.Operands[2] + "\"");
    return ChangeImage(Line, Err, [&](TC64Disk& disk) {
        uint8_t* entry = SelectOneFile(disk, Line.Operands[1]);
        if (!Line.AllowDuplicates && FindListedName(disk, name, entry))
            throw ECliError("FILE EXISTS: \"" + PetsciiToCliName(name) +
                            "\" (use --allow-duplicates to rename anyway)");
        RenameEntry(disk, entry, name, true);
    });
}

int Sort(const TCommandLine& Line, std::ostream& Err) {
    const TSortKey key = *Line.SortBy == "name"   ? TSortKey::Name
                         : *Line.SortBy == "type" ? TSortKey::Type
                                                  : TSortKey::Size;
    return ChangeImage(Line, Err, [&](TC64Disk& disk) { SortDirectory(disk, key); });
}

int Move(const TCommandLine& Line, std::ostream& Err) {
    const size_t position = std::stoul(Line.Operands[2]) - 1; // checked by the parser
    return ChangeImage(Line, Err, [&](TC64Disk& disk) {
        MoveEntriesTo(disk, {SelectOneFile(disk, Line.Operands[1])}, position);
    });
}

int Cat(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
    auto disk = OpenImage(Line.Operands[0], Line.Dos, Err);
    TListing listing;
    listing.Read(*disk);
    uint8_t* entry = SelectFiles(listing, {Line.Operands[1]}, false).front();
    WriteFileView(disk->LoadFile(entry), disk->DecodeFileType(entry[2]).Kind, Line.CatView,
                  Line.Lower ? TCharSet::LowerUpper : TCharSet::UpperGraphic, Out);
    return ecOk;
}

int Help(const TCommandLine& Line, std::ostream& Out) {
    Out << UsageText(Line.Operands.empty() ? TCliCommand::None : CommandByName(Line.Operands[0]));
    return ecOk;
}

int Run(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
    switch (Line.Command) {
    case TCliCommand::List:
        return List(Line, Out, Err);
    case TCliCommand::Format:
        return Format(Line, Err);
    case TCliCommand::Import:
        return Import(Line, Err);
    case TCliCommand::Copy:
        return Copy(Line, Err);
    case TCliCommand::Export:
        return Export(Line, Err);
    case TCliCommand::Scratch:
        return Scratch(Line, false, Err);
    case TCliCommand::Delete:
        return Scratch(Line, true, Err);
    case TCliCommand::Bam:
        return Bam(Line, Out, Err);
    case TCliCommand::Validate:
        return ValidateImage(Line, Out, Err);
    case TCliCommand::Rename:
        return Rename(Line, Err);
    case TCliCommand::Sort:
        return Sort(Line, Err);
    case TCliCommand::Move:
        return Move(Line, Err);
    case TCliCommand::Cat:
        return Cat(Line, Out, Err);
    case TCliCommand::Unscratch:
        return UnscratchImage(Line, Err);
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
        return Run(line, Out, Err);
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
