// The validate command over the engine's Validate and Repair.
#include "ValidateCommand.h"

#include "Commands.h"
#include "ImageTransaction.h"
#include "Listing.h"
#include "NameConvention.h"

#include <ostream>

namespace {

std::string At(TTrackSector ts) {
    return std::to_string(TrackOf(ts)) + "/" + std::to_string(SectorOf(ts));
}

std::string Quoted(const PetsciiString& Name) {
    return "\"" + PetsciiToCliName(Name) + "\"";
}

const char* KindWord(TFindingKind Kind) {
    switch (Kind) {
    case TFindingKind::DirectoryChain:
        return "directory";
    case TFindingKind::IllegalLink:
        return "illegal-link";
    case TFindingKind::ChainLoops:
        return "loop";
    case TFindingKind::CrossLinked:
        return "cross-link";
    case TFindingKind::Unclosed:
        return "unclosed";
    case TFindingKind::UnownedAllocated:
        return "unowned";
    case TFindingKind::FreeInUse:
        return "free-in-use";
    case TFindingKind::WrongFreeCount:
        return "free-count";
    case TFindingKind::WrongBlockCount:
        return "block-count";
    }
    return "?";
}

// What is wrong, after the kind word, file and place.
std::string Problem(const TFinding& f) {
    switch (f.Kind) {
    case TFindingKind::DirectoryChain:
        return f.Detail.substr(0, f.Detail.find('\r'));
    case TFindingKind::IllegalLink:
        return "links to " + At(f.Link) + ", off the disk";
    case TFindingKind::ChainLoops:
        return "links back to " + At(f.Link) + " of its own chain";
    case TFindingKind::CrossLinked:
        return "links to " + At(f.Link) + " of " +
               (f.Directory ? std::string("the directory") : Quoted(f.Other));
    case TFindingKind::Unclosed:
        return "file not closed, scratched on repair";
    case TFindingKind::UnownedAllocated:
        return "allocated in the BAM, but nothing holds it";
    case TFindingKind::FreeInUse:
        return "free in the BAM, but in use";
    case TFindingKind::WrongFreeCount:
    case TFindingKind::WrongBlockCount:
        return std::to_string(f.Stated) + " stated, " + std::to_string(f.Counted) + " counted";
    }
    return {};
}

// The file and place of a finding: the directory entry stands for a chain's first link.
std::string Subject(const TFinding& f) {
    if (f.Kind == TFindingKind::DirectoryChain) return {};
    std::string Text = f.File.empty() ? (f.Directory ? "directory" : "") : Quoted(f.File);
    const bool Chain = f.Kind == TFindingKind::IllegalLink || f.Kind == TFindingKind::ChainLoops ||
                       f.Kind == TFindingKind::CrossLinked;
    const std::string Place = f.Kind == TFindingKind::WrongFreeCount
                                  ? "track " + std::to_string(TrackOf(f.Where))
                              : Chain && f.Where == 0 ? std::string("entry")
                                                      : At(f.Where);
    return Text + (Text.empty() || Place.empty() ? "" : " ") + Place;
}

std::string FindingJson(const TFinding& f, bool Repaired) {
    return std::string("{\"kind\": ") + JsonString(KindWord(f.Kind)) +
           ", \"file\": " + (f.File.empty() ? std::string("null") : JsonString(PetsciiToCliName(f.File))) +
           ", \"directory\": " + (f.Directory ? "true" : "false") +
           ", \"track\": " + std::to_string(TrackOf(f.Where)) +
           ", \"sector\": " + std::to_string(SectorOf(f.Where)) +
           ", \"text\": " + JsonString(FindingLine(f)) + ", \"repaired\": " + (Repaired ? "true" : "false") +
           "}";
}

// Checks the image; with Repair, puts right what a repair can, holding the image locked
// from the check to the save, so that nothing changes between. Sets Repaired.
TValidation CheckImage(const TCommandLine& Line, bool& Repaired, std::ostream& Err) {
    Repaired = false;
    if (!Line.Repair) return Validate(*OpenImage(Line.Operands[0], Line.Dos, Err));
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection, Err);
    const TValidation found = Validate(image.Disk());
    // A directory that cannot be read whole is its only finding, and not one to repair.
    if (!found.NeedsRepair()) return found;
    image.Begin();
    TValidation repaired = Repair(image.Disk());
    image.Commit();
    Repaired = true;
    return repaired;
}

} // namespace

std::string FindingLine(const TFinding& Finding) {
    const std::string Where = Subject(Finding);
    return KindWord(Finding.Kind) + (Where.empty() ? "" : " " + Where) + ": " + Problem(Finding);
}

int ValidateImage(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
    bool Repaired;
    const TValidation found = CheckImage(Line, Repaired, Err);
    const bool Readable = found.Findings.empty() || found.Findings[0].Kind != TFindingKind::DirectoryChain;
    if (Line.Json) {
        Out << "{\n  \"consistent\": " << (found.Findings.empty() ? "true" : "false")
            << ",\n  \"repaired\": " << (Repaired ? "true" : "false") << ",\n  \"findings\": [";
        for (size_t i = 0; i < found.Findings.size(); ++i)
            Out << (i ? "," : "") << "\n    "
                << FindingJson(found.Findings[i], Repaired && RepairFixes(found.Findings[i].Kind));
        Out << (found.Findings.empty() ? "]\n}\n" : "\n  ]\n}\n");
    } else {
        for (const TFinding& finding : found.Findings)
            Out << FindingLine(finding) << (Repaired && RepairFixes(finding.Kind) ? " (repaired)" : "")
                << "\n";
    }
    if (Line.Repair && !Readable) Err << "d64tool: the directory can't be read whole: nothing was repaired\n";
    if (found.Findings.empty()) return ecOk;
    return Line.Repair && Readable ? ecOk : ecRefused;
}
