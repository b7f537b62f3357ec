// The directory commands of the main window: moving the selected files up and down,
// sorting, renaming in place in the grid, dragging rows (out to the file manager as
// exported files, onto the other pane as a copy, within a pane as a move), and reading
// an image again when another program changes it.
#include "Main.h"

#include "D64StringGrid.h"
#include "DisknameKeyFilter.h"
#include "HostExport.h"
#include "LocalPath.h"
#include "PetsciiText.h"
#include "Reorder.h"
#include "UserPrompts.h"
#include "hostfile.h"

#include <QFileSystemWatcher>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <set>
#include <system_error>

namespace {

// The entries of the given rows that hold a file, in row order.
std::vector<uint8_t*> RowEntries(const TD64StringGrid* View, const TIntegerArray& Rows) {
    std::vector<uint8_t*> Entries;
    for (int Row : Rows)
        if (uint8_t* Entry = View->GetRowEntry(Row)) Entries.push_back(Entry);
    return Entries;
}

std::vector<uint8_t*> SelectedEntries(const TD64StringGrid* View) {
    TIntegerArray Rows;
    View->GetSelectedRows(Rows);
    return RowEntries(View, Rows);
}

PetsciiString EntryName(const uint8_t* Entry) {
    return PetsciiToString(Entry + 5, 15);
}

// What a pane shows of a disk besides its contents: kept across a reload.
struct TPaneView {
    std::set<PetsciiString> Selected;
    PetsciiString Current;
    int Top = 1;
};

TPaneView CaptureView(const TD64StringGrid* View) {
    TPaneView Kept;
    for (const uint8_t* Entry : SelectedEntries(View))
        Kept.Selected.insert(EntryName(Entry));
    if (const uint8_t* Entry = View->GetRowEntry(View->Row())) Kept.Current = EntryName(Entry);
    Kept.Top = View->TopRow();
    return Kept;
}

void RestoreView(TD64StringGrid* View, const TPaneView& Kept) {
    View->ClearSelection();
    if (View->Empty()) return;
    for (int Row = View->FixedRows(); Row < View->RowCount(); ++Row) {
        const uint8_t* Entry = View->GetRowEntry(Row);
        if (!Entry) continue;
        if (Kept.Selected.count(EntryName(Entry))) View->SetRowSelected(Row, true);
        if (EntryName(Entry) == Kept.Current) View->SetCurrentRow(Row);
    }
    View->SetTopRow(Kept.Top);
}

} // namespace

void TMainForm::Move1Click() {
    Guarded([this] { MoveSelected(-1); });
}

void TMainForm::MoveDown1Click() {
    Guarded([this] { MoveSelected(+1); });
}

void TMainForm::MoveSelected(int Step) {
    const int Side = ActiveSide();
    const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
    if (!SideDisk) return;
    const std::vector<uint8_t*> Entries = SelectedEntries(ViewOf(Side));
    if (Entries.empty()) {
        Prompts.ShowMessage("Please first select one or more files to move and try again!");
        return;
    }
    ReorderSide(Side, [&] { return MoveEntries(*SideDisk, {Entries.begin(), Entries.end()}, Step); });
}

void TMainForm::SortClick(int Tag) {
    Guarded([this, Tag] {
        const int Side = ActiveSide();
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) return;
        const TPaneView Kept = CaptureView(ViewOf(Side));
        const TSortKey Key = Tag == 0 ? TSortKey::Name : Tag == 1 ? TSortKey::Type : TSortKey::Size;
        if (!ChangeDisk(Side, [&] { SortDirectory(*SideDisk, Key); })) return;
        RefreshChangedSide(Side);
        RestoreView(ViewOf(Side), {Kept.Selected, Kept.Current, 1});
        ViewOf(Side)->SetCurrentRow(ViewOf(Side)->Row()); // scrolled to show the current file
    });
}

void TMainForm::ReorderSide(int Side, const std::function<std::vector<uint8_t*>()>& Change) {
    std::vector<uint8_t*> Moved;
    if (!ChangeDisk(Side, [&] { Moved = Change(); })) return;
    RefreshChangedSide(Side);
    SelectEntries(Side, Moved);
}

void TMainForm::SelectEntries(int Side, const std::vector<uint8_t*>& Entries) {
    TD64StringGrid* View = ViewOf(Side);
    View->ClearSelection();
    for (int Row = View->FixedRows(); Row < View->RowCount(); ++Row)
        if (std::find(Entries.begin(), Entries.end(), View->GetRowEntry(Row)) != Entries.end())
            View->SetRowSelected(Row, true);
    for (int Row = View->FixedRows(); Row < View->RowCount(); ++Row)
        if (!Entries.empty() && View->GetRowEntry(Row) == Entries.front()) View->SetCurrentRow(Row);
}

// --- rename in place ---

void TMainForm::Rename1Click() {
    Guarded([this] {
        const int Side = ActiveSide();
        if (!DiskRef(Side)) return;
        TD64StringGrid* View = ViewOf(Side);
        // The current row when it is a selected file, else the first selected file.
        int Row = View->Row();
        if (!View->IsRowSelected(Row) || !View->GetRowEntry(Row)) {
            TIntegerArray Rows;
            View->GetSelectedRows(Rows);
            std::erase_if(Rows, [View](int R) { return View->GetRowEntry(R) == nullptr; });
            if (Rows.empty()) {
                Prompts.ShowMessage("Please first select one file to rename and try again!");
                return;
            }
            Row = Rows.front();
        }
        if (QLineEdit* Edit = View->EditName(Row, EntryName(View->GetRowEntry(Row))))
            TDisknameKeyFilter::Attach(Edit);
    });
}

void TMainForm::View1NameEdited(TD64StringGrid* Sender, int Row, const std::string& Name) {
    Guarded([&] {
        const int Side = Sender == View1 ? 1 : 2;
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        uint8_t* Entry = Sender->GetRowEntry(Row);
        if (!SideDisk || !Entry || Name == EntryName(Entry)) return;
        if (FindListedName(*SideDisk, Name, Entry) &&
            !Prompts.AskYesNo("A file named \"" + PetsciiText::ToDisplay(Name) +
                                  "\" is already on the disk!\r\nRename it anyway?",
                              true))
            return;
        if (!ChangeDisk(
                Side, [&] { RenameEntry(*SideDisk, Entry, Name, true); }, true))
            return;
        RefreshChangedSide(Side);
        SelectEntries(Side, {Entry});
    });
}

// --- dragging rows ---

void TMainForm::View1DragStarting(TD64StringGrid* Sender, QMimeData* Data) {
    Guarded([&] {
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Sender == View1 ? 1 : 2);
        if (!SideDisk) return;
        // The file manager takes the files Export would write, from a private folder that
        // lives until the next drag.
        DragFolder = std::make_unique<QTemporaryDir>();
        if (!DragFolder->isValid()) return;
        const std::string Folder = ToLocalPath(DragFolder->path()) + "/";
        QList<QUrl> Urls;
        const TExportFormat Format = ExportFormat();
        for (uint8_t* Entry : SelectedEntries(Sender)) {
            const std::string Target = Folder + ExportFileName(Entry, Format);
            if (HostFile::Exists(Target)) continue; // a second file of one name: the first goes
            try {
                const ByteArray Bytes = SideDisk->LoadFile(Entry);
                if (Bytes.empty()) continue;
                const ByteArray Written = ExportFileBytes(Entry, Bytes, Format);
                HostFile::ReplaceWhole(Target, Written.data(), Written.size(), {});
            } catch (const EC64DiskException&) {
                continue; // unreadable here; Export reports it
            } catch (const std::system_error&) {
                continue;
            }
            Urls << QUrl::fromLocalFile(FromLocalPath(Target));
        }
        Data->setUrls(Urls);
    });
}

void TMainForm::View1RowsDropped(TD64StringGrid* Target, TD64StringGrid* Source, const TIntegerArray& Rows,
                                 int Row) {
    Guarded([&] {
        if (Source != View1 && Source != View2) return;
        const int Side = Target == View1 ? 1 : 2;
        if (Source != Target) {
            // Onto the other pane: the copy F5 makes of the source's selection.
            Source->SetFocus();
            Copy1Click();
            return;
        }
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        const std::vector<uint8_t*> Entries = RowEntries(Target, Rows);
        if (!SideDisk || Entries.empty()) return;
        // The dragged files go before the file they were dropped on.
        size_t Position = 0;
        for (int R = Target->FixedRows(); R < Row && R < Target->RowCount(); ++R)
            if (Target->GetRowEntry(R) && std::find(Rows.begin(), Rows.end(), R) == Rows.end()) ++Position;
        ReorderSide(Side, [&] {
            return MoveEntriesTo(*SideDisk, {Entries.begin(), Entries.end()}, Position);
        });
    });
}

// --- live reload ---

void TMainForm::WatchShownFiles() {
    QStringList Shown;
    for (int Side : {1, 2})
        if (const std::shared_ptr<TC64Disk>& SideDisk = DiskRef(Side))
            Shown << FromLocalPath(SideDisk->FileName());
    for (const QString& Path : Watcher->files())
        if (!Shown.contains(Path)) Watcher->removePath(Path);
    for (const QString& Path : Shown)
        if (!Watcher->files().contains(Path)) Watcher->addPath(Path);
}

void TMainForm::ImageFileChanged(const QString& Path) {
    // A save by rename puts a new file under the name, which the watcher no longer
    // follows: the name is watched anew.
    if (!Watcher->files().contains(Path)) Watcher->addPath(Path);
    if (!PendingReloads.contains(Path)) PendingReloads << Path;
    ReloadTimer->start(50); // one reload for a burst of notices
}

void TMainForm::ReloadChangedFiles() {
    const QStringList Paths = std::exchange(PendingReloads, {});
    Guarded([&] {
        for (const QString& Path : Paths) {
            // A file removed to be written anew (as some programs save) is looked for
            // again while a pane shows it.
            if (!HostFile::Exists(ToLocalPath(Path))) {
                if (!PendingReloads.contains(Path)) PendingReloads << Path;
                continue;
            }
            if (!Watcher->files().contains(Path)) Watcher->addPath(Path);
            for (int Side : {1, 2}) {
                const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
                // The window's own writes leave the file as its disk object knows it.
                if (SideDisk && FromLocalPath(SideDisk->FileName()) == Path &&
                    SideDisk->FileChangedElsewhere()) {
                    ReloadKeepingView(SideDisk);
                    break;
                }
            }
        }
    });
    // Only files a pane still shows are looked for again.
    PendingReloads.removeIf([this](const QString& Path) {
        for (int Side : {1, 2})
            if (DiskRef(Side) && FromLocalPath(DiskRef(Side)->FileName()) == Path) return false;
        return true;
    });
    if (!PendingReloads.isEmpty()) ReloadTimer->start(500);
}

void TMainForm::Reload1Click() {
    Guarded([this] {
        if (const std::shared_ptr<TC64Disk> SideDisk = DiskRef(ActiveSide())) ReloadKeepingView(SideDisk);
    });
}

void TMainForm::ReloadKeepingView(const std::shared_ptr<TC64Disk>& Stale) {
    const int Active = ActiveSide();
    TPaneView Kept[2];
    for (int Side : {1, 2})
        if (DiskRef(Side) == Stale) Kept[Side - 1] = CaptureView(ViewOf(Side));
    QString Failure;
    const std::shared_ptr<TC64Disk> Fresh = RereadDisk(Stale, Failure);
    if (!Fresh) {
        Prompts.ShowError(Failure.mid(2));
        return;
    }
    for (int Side : {1, 2})
        if (DiskRef(Side) == Fresh) RestoreView(ViewOf(Side), Kept[Side - 1]);
    // A refresh takes the focus to its pane; another program's change must not move it.
    if (ActiveSide() != Active) {
        ViewOf(Active)->SetFocus();
        SetCaptionFor(Active);
    }
}
