// The new-disk command: a formatted image from the choices of the new-disk dialog,
// written to its file and, once it is there, shown in the active side.
#include "Main.h"

#include "D64StringGrid.h"
#include "NewDlg.h"
#include "UserPrompts.h"
#include "hostfile.h"

#include <QMenu>

#include <sys/stat.h>

#include <array>
#include <climits>
#include <filesystem>

namespace {

// "Unnamed.d64", else the first free "Unnamed(n).d64", in the working folder; the kind's
// extension rather than ".d64" for a 1571 or 1581 disk.
std::string DefaultNewDiskName(TNewDiskKind Kind) {
    const std::string Ext = "." + KindExtension(Kind).toStdString();
    if (!HostFile::Exists("Unnamed" + Ext)) return "Unnamed" + Ext;
    for (unsigned n = 1; n <= static_cast<unsigned>(INT_MAX); ++n) {
        const std::string Name = "Unnamed(" + std::to_string(n) + ")" + Ext;
        if (!HostFile::Exists(Name)) return Name;
    }
    throw EC64DiskException("Can't find valid Filename!");
}

// Which file a path names and its times, all zero when it names none: a write changes
// the times, a replace by rename the inode.
std::array<int64_t, 7> FileStateOf(const std::string& Path) {
    struct stat Info;
    if (::stat(Path.c_str(), &Info) != 0) return {};
    return {static_cast<int64_t>(Info.st_dev),
            static_cast<int64_t>(Info.st_ino),
            Info.st_size,
            Info.st_mtim.tv_sec,
            Info.st_mtim.tv_nsec,
            Info.st_ctim.tv_sec,
            Info.st_ctim.tv_nsec};
}

} // namespace

void TMainForm::NewD641Click() {
    Guarded([this] {
        const std::optional<TNewDiskValues> Choice = TNewDlg::Execute(Prompts, this);
        if (!Choice) return;
        // The dialog has asked before an existing file is replaced.
        std::string Name = Choice->HostFileName();
        if (Name.empty()) Name = DefaultNewDiskName(Choice->Kind);

        // The new disk is made and written whole before any side takes it: a file that
        // cannot be written leaves both sides with the disks and rows they had.
        const std::shared_ptr<TC64Disk> Created =
            TC64Disk::CreateDiskImage(Name, Choice->DiskType(), Choice->DosEmulation());
        std::shared_ptr<TC64Disk> Replaced;
        std::error_code Error;
        for (int Side : {1, 2})
            if (DiskRef(Side) && std::filesystem::equivalent(DiskRef(Side)->FileName(), Name, Error))
                Replaced = DiskRef(Side);
        const std::array<int64_t, 7> Before = FileStateOf(Name);
        try {
            Created->BeginUpdate();
            Created->SetDiskName(Choice->DiskName);
            Created->SetDiskID(Choice->DiskID);
            Created->SetDosType(Choice->DiskID.size() > 3 ? Choice->DiskID.substr(3, 2) : std::string());
            Created->EndUpdate(true);
        } catch (const std::exception& Failure) {
            const bool Unchanged = FileStateOf(Name) == Before;
            QString Text = QString::fromStdString(Failure.what()) + FailedWriteNote(Unchanged);
            // A side showing the file that was to be replaced shows what is left of it.
            if (Replaced && !Unchanged) RereadDisk(Replaced, Text);
            Prompts.ShowError(Text);
            return;
        }

        const int Side = ActiveSide();
        // A side that showed the file just replaced shows the new disk as well.
        for (int Other : {1, 2})
            if (Replaced && DiskRef(Other) == Replaced) DiskRef(Other) = Created;
        DiskRef(Side) = Created;
        SideMenu(Side)->setEnabled(true);
        ViewOf(Side)->SetEmpty(true);
        RefreshChangedSide(Side);
    });
}
