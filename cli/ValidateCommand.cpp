// The validate command over the engine's Validate and Repair.
#include "ValidateCommand.h"

#include "Commands.h"
#include "ImageTransaction.h"
#include "Listing.h"
#include "NameConvention.h"

#include <ostream>

namespace {

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
    case TFindingKind::SideTwoCounts:
        return "side-two-counts";
    }
    return "?";
}

// The file and place of a finding.
std::string Subject(const TFinding& f) {
    if (f.Kind == TFindingKind::DirectoryChain) return {};
    const std::string Text = f.File.empty() ? (f.Directory ? "directory" : "") : Quoted(f.File);
    const std::string Place = FindingPlace(f);
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
    return KindWord(Finding.Kind) + (Where.empty() ? "" : " " + Where) + ": " +
           FindingProblem(Finding, Quoted);
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
