// Host files into the window's disks: File > Import Files..., files dropped on a pane,
// and the question about a name already on the disk, which copying (F5) asks too.
#include "Main.h"

#include "D64StringGrid.h"
#include "ImportPlan.h"
#include "LocalPath.h"
#include "PetsciiText.h"
#include "UserPrompts.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

const char* const ImportFilter = "All Files (*.*)|*.*|C64 Files|*.prg;*.seq;*.usr;*.del;*.p00;*.s00;*.u00;"
                                 "*.r00;*.t64;*.d64";
const char* const NoDiskMessage = "Before you can import files you must open a disk!";

// Asks about each taken name until an answer is given for all files.
class TSameNameAsker {
  public:
    explicit TSameNameAsker(IUserPrompts& Prompts) : Prompts(Prompts) {}

    TSameName Ask(const PetsciiString& Name) {
        if (ForAll) return *ForAll;
        bool All = false;
        const IUserPrompts::TSameNameAnswer Answer =
            Prompts.AskSameName("The disk already holds a file named \"" + PetsciiText::ToDisplay(Name) +
                                    "\".\r\nReplace it, keep both or skip this file?",
                                All);
        const TSameName Choice = Answer == IUserPrompts::TSameNameAnswer::Replace    ? TSameName::Replace
                                 : Answer == IUserPrompts::TSameNameAnswer::KeepBoth ? TSameName::KeepBoth
                                                                                     : TSameName::Skip;
        if (All) ForAll = Choice;
        return Choice;
    }
    TSameNameQuestion Question() {
        return [this](const PetsciiString& Name) { return Ask(Name); };
    }

  private:
    IUserPrompts& Prompts;
    std::optional<TSameName> ForAll;
};

// A file the engine takes as a disk image: by its extension, or by the size of a D64 or D71.
bool IsDiskImage(const QString& FileName) {
    const QFileInfo Info(FileName);
    const QString Suffix = Info.suffix().toLower();
    if (Suffix == "d64" || Suffix == "d71" || Suffix == "d81" || Suffix == "g64") return true;
    for (TDiskType Type :
         {dt35Tracks, dt35TracksErrorInfo, dt40Tracks, dt40TracksErrorInfo, dt71, dt71ErrorInfo})
        if (Info.size() == ImageSizeOf(Type)) return true;
    return false;
}

} // namespace

void TMainForm::ImportFiles1Click() {
    Guarded([this] {
        const int Side = ActiveSide();
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) {
            Prompts.ShowMessage(NoDiskMessage);
            return;
        }
        const QString Folder = QFileInfo(FromLocalPath(SideDisk->FileName())).absolutePath();
        const QStringList Chosen = Prompts.GetOpenFileNames(this, Folder, ImportFilter, "Import Files");
        if (!Chosen.isEmpty()) ImportHostFiles(Side, Chosen, true);
    });
}

void TMainForm::View1FilesDropped(TD64StringGrid* Sender, const QStringList& FileNames, bool Shift) {
    if (FileNames.isEmpty()) return;
    if (!Shift && IsDiskImage(FileNames.first())) {
        View1FileDragged(Sender, FileNames.first());
        return;
    }
    Guarded([&] { ImportHostFiles(Sender == View1 ? 1 : 2, FileNames, true); });
}

void TMainForm::ImportHostFiles(int Side, const QStringList& FileNames, bool ExpandImages) {
    const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
    if (!SideDisk) {
        Prompts.ShowMessage(NoDiskMessage);
        return;
    }
    if (RefusesWrites(*SideDisk)) return;
    // Every host file is read, and every question answered, before the disk changes.
    std::vector<TImportFile> Files;
    for (const QString& FileName : FileNames)
        for (TImportFile& File : ReadHostFile(ToLocalPath(FileName), ExpandImages))
            Files.push_back(std::move(File));
    TSameNameAsker Asker(Prompts);
    const TImportPlan Plan = PlanImport(*SideDisk, std::move(Files), Asker.Question());

    std::vector<uint8_t*> Written;
    if (!ChangeDisk(Side, [&] { Written = RunImport(*SideDisk, Plan); })) return;
    RefreshChangedSide(Side);
    SelectEntries(Side, Written);

    QString Summary = QString::number(Written.size()) + " Files successfully imported!";
    for (size_t i = 0; i < Plan.Files.size(); ++i)
        if (Plan.Steps[i].Write && Plan.Files[i].NameCut)
            Summary += "\r\nThe name of <" + FromLocalPath(Plan.Files[i].Source) +
                       "> is cut to 16 characters: " + PetsciiText::ToDisplay(Plan.Files[i].Name());
    Prompts.ShowMessage(Summary);
}

// A soft write protected disk refuses before any question about names is asked.
bool TMainForm::RefusesWrites(TC64Disk& Disk) {
    try {
        Disk.VerifyWriteAccess();
        return false;
    } catch (const EC64DiskException& Error) {
        Prompts.ShowError(QString::fromStdString(Error.what()) + FailedWriteNote(true));
        return true;
    }
}

bool TMainForm::CopyEntries(int Side, TC64Disk& Source, const std::vector<uint8_t*>& Entries) {
    const std::shared_ptr<TC64Disk> Target = DiskRef(Side);
    if (RefusesWrites(*Target)) return false;
    TSameNameAsker Asker(Prompts);
    TImportPlan Plan = PlanCopy(*Target, Entries, Asker.Question());
    if (!WritesAnything(Plan)) return true;
    // One save for the whole copy. Each file is read when its turn comes and goes in
    // whole or not at all (with the file it replaces); a failure keeps the files copied
    // before it (they are saved, then the error is shown) and leaves the destination as
    // its file holds it.
    return ChangeDisk(Side, [&] {
        Target->BeginUpdate();
        try {
            for (size_t i = 0; i < Entries.size(); ++i)
                CopyPlannedFile(*Target, Source, Entries[i], Plan, i);
        } catch (...) {
            Target->EndUpdate(true);
            throw;
        }
        Target->EndUpdate(true);
    });
}
