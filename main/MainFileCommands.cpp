// The file commands of the main window: copy to the other side, select all, scratch and
// delete after a question, and export to host files.
#include "Main.h"

#include "D64StringGrid.h"
#include "HostExport.h"
#include "LocalPath.h"
#include "PetsciiText.h"
#include "UserPrompts.h"
#include "hostfile.h"

#include <QAction>

#include <set>
#include <system_error>

namespace {

const char* const ExportFilter = "C64 Programfile (*.prg)|*.prg|All Files (*.*)|*.*";

// Rows that hold a file: the blank row of a listing without files has none.
void KeepFileRows(TD64StringGrid* View, TIntegerArray& Rows) {
    std::erase_if(Rows, [View](int Row) { return View->GetRowEntry(Row) == nullptr; });
}

TIntegerArray SelectedFileRows(TD64StringGrid* View) {
    TIntegerArray Rows;
    View->GetSelectedRows(Rows);
    KeepFileRows(View, Rows);
    return Rows;
}

} // namespace

void TMainForm::Copy1Click() {
    Guarded([this] {
        const int Side = ActiveSide();
        const int Destination = Side == 1 ? 2 : 1;
        const std::shared_ptr<TC64Disk> Source = DiskRef(Side);
        const std::shared_ptr<TC64Disk> Target = DiskRef(Destination);
        if (!Source || !Target) {
            Prompts.ShowMessage("Before you can copy you must insert an destination disk!");
            return;
        }
        TD64StringGrid* View = ViewOf(Side);
        const TIntegerArray Rows = SelectedFileRows(View);
        if (Rows.empty()) {
            Prompts.ShowMessage("Please first select one or more files to copy and try again!");
            return;
        }
        // Both sides show one file through one disk object: a copy would only add a
        // second file of the same name to it.
        if (Source == Target) {
            Prompts.ShowMessage("Both sides show the same disk!\r\nA file cannot be copied onto the disk it "
                                "comes from.");
            return;
        }
        std::vector<uint8_t*> Entries;
        for (int Row : Rows)
            Entries.push_back(View->GetRowEntry(Row));
        if (CopyEntries(Destination, *Source, Entries)) RefreshChangedSide(Destination);
        View->SetFocus();
    });
}

void TMainForm::SelectAll1Click() {
    Guarded([this] {
        TD64StringGrid* View = ViewOf(ActiveSide());
        if (!View->Empty()) View->SelectAll();
    });
}

void TMainForm::Scratch1Click() {
    Guarded([this] { ScratchSelected(false); });
}

void TMainForm::DeleteButtonClick() {
    Guarded([this] { ScratchSelected(true); });
}

void TMainForm::ScratchSelected(bool Delete) {
    const int Side = ActiveSide();
    const QString Word = Delete ? " delete " : " scratch ";
    const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
    if (!SideDisk) return;
    TD64StringGrid* View = ViewOf(Side);
    const TIntegerArray Rows = SelectedFileRows(View);
    if (Rows.empty()) {
        Prompts.ShowMessage("Please first select one or more files to" + Word + "and try again!");
        return;
    }
    std::vector<uint8_t*> Entries;
    for (int Row : Rows)
        Entries.push_back(View->GetRowEntry(Row));
    QString Question =
        "Do you really want to" + Word +
        (Rows.size() == 1 ? QStringLiteral("one file?") : QString::number(Rows.size()) + " files?");
    if (Delete) Question += "\r\nAttention, deleted files cannot be unscratched!";
    // A wipe cannot be undone: a reflex Return answers No.
    if (!Prompts.AskYesNo(Question, Delete)) return;
    if (ChangeDisk(Side, [&] { SideDisk->ScratchFiles(Entries, Delete); })) RefreshChangedSide(Side);
}

TExportFormat TMainForm::ExportFormat() const {
    return ExportPc641->isChecked() ? TExportFormat::Pc64 : TExportFormat::Plain;
}

void TMainForm::ExporttoPRG2Click(int Tag) {
    Guarded([this, Tag] { ExportFiles(Tag); });
}

void TMainForm::ExportFiles(int Tag) {
    const int Side = ActiveSide();
    const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
    if (!SideDisk) return;
    TD64StringGrid* View = ViewOf(Side);
    TIntegerArray Rows;
    if (Tag == 0) {
        Rows.push_back(View->Row());
    } else if (Tag == 1) {
        View->GetSelectedRows(Rows);
    } else {
        for (int Row = 1; Row < View->RowCount(); ++Row)
            Rows.push_back(Row);
    }
    KeepFileRows(View, Rows);
    if (Rows.empty()) {
        Prompts.ShowMessage("Please first select one file to export and try again!");
        return;
    }
    std::string Folder;
    if (Tag != 0) {
        const QString Chosen = Prompts.GetExistingDirectory(this, "Choose an export-folder...");
        if (Chosen.isEmpty()) return;
        Folder = ToLocalPath(Chosen);
        if (Folder.back() != '/') Folder += '/';
    }

    const TExportFormat Format = ExportFormat();
    bool OverwriteAll = false;
    unsigned Exported = 0;
    // The files are written first and synced together at the end, each before it takes its
    // name, each folder once after them all.
    HostFile::TReplaceBatch Batch;
    // Names this export writes: a second file of one name finds the first as existing.
    std::set<std::string> Written;
    for (int Row : Rows) {
        uint8_t* Entry = View->GetRowEntry(Row);
        // A file that cannot be read or written is reported, and the export goes on.
        const auto Report = [&](const std::exception& Error) {
            Prompts.ShowMessage("Error while exporting file <" +
                                PetsciiText::ToDisplay(std::string(Entry + 5, Entry + 21)) + ">.\r\n" +
                                QString::fromStdString(Error.what()));
        };
        ByteArray Bytes;
        try {
            Bytes = SideDisk->LoadFile(Entry);
        } catch (const EC64DiskException& Error) {
            Report(Error);
            continue;
        }
        if (Bytes.empty()) continue;

        // The name is the C64 name as d64tool spells it, path characters escaped, so it
        // never leads out of the chosen folder, and the extension of its type.
        std::string Target;
        if (Tag == 0) {
            // The dialog adds the extension of the file's type to a name typed without one.
            const QString Chosen = Prompts.GetSaveFileName(
                this, FromLocalPath(ExportBaseName(Entry + 5)), ExportFilter, "Export to Programfile",
                QString::fromStdString(ExportExtension(Entry, Format).substr(1)));
            if (Chosen.isEmpty()) continue;
            Target = ToLocalPath(Chosen);
        } else {
            Target = Folder + ExportFileName(Entry, Format);
        }
        if (!OverwriteAll && (HostFile::Exists(Target) || Written.count(Target))) {
            // Closing the question answers No: the existing file stays.
            const IUserPrompts::TAnswer Answer =
                Prompts.AskYesNoAll("The file <" + FromLocalPath(Target) + "> already exists! Overwrite?");
            if (Answer == IUserPrompts::TAnswer::No) continue;
            if (Answer == IUserPrompts::TAnswer::All) OverwriteAll = true;
        }
        // The old file is replaced only once the new one is complete.
        try {
            const ByteArray Contents = ExportFileBytes(Entry, Bytes, Format);
            Batch.Add(Target, Contents.data(), Contents.size());
        } catch (const std::system_error& Error) {
            Report(Error);
            continue;
        }
        Written.insert(Target);
        ++Exported;
    }
    // A file or folder that cannot be synced is the command's failure, shown by the guard.
    Batch.Commit();
    Prompts.ShowMessage(QString::number(Exported) + " Files successfully exported!");
}
