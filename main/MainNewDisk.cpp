// The new-disk command: a formatted image from the choices of the new-disk dialog,
// written to its file and shown in the active side.
#include "Main.h"

#include "D64StringGrid.h"
#include "LocalPath.h"
#include "NewDlg.h"
#include "UserPrompts.h"
#include "hostfile.h"

#include <QMenu>

#include <climits>
#include <filesystem>

namespace {

// "Unnamed.d64", else the first free "Unnamed(n).d64", in the working folder.
std::string DefaultNewDiskName() {
    if (!HostFile::Exists("Unnamed.d64")) return "Unnamed.d64";
    for (unsigned n = 1; n <= static_cast<unsigned>(INT_MAX); ++n) {
        const std::string Name = "Unnamed(" + std::to_string(n) + ").d64";
        if (!HostFile::Exists(Name)) return Name;
    }
    throw EC64DiskException("Can't find valid Filename!");
}

// ".d64" for a name without a dot after its last path separator.
std::string WithExtension(std::string Name) {
    const std::size_t Slash = Name.find_last_of('/');
    const std::size_t Dot = Name.find_last_of('.');
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) Name += ".d64";
    return Name;
}

} // namespace

void TMainForm::NewD641Click() {
    Guarded([this] {
        const std::optional<TNewDiskValues> Choice = TNewDlg::Execute(Prompts, this);
        if (!Choice) return;
        std::string Name = ToLocalPath(Choice->Filename);
        Name = WithExtension(Name.empty() ? DefaultNewDiskName() : Name);
        // A file of that name may be a disk the user has filled: only his Yes replaces it.
        if (HostFile::Exists(Name) &&
            !Prompts.AskYesNo("The file <" + FromLocalPath(Name) +
                                  "> already exists!\r\nReplace it with the new disk?",
                              true))
            return;

        const int Side = ActiveSide();
        std::shared_ptr<TC64Disk>& SideDisk = DiskRef(Side);
        SideDisk.reset();
        SideDisk = TC64Disk::CreateDiskImage(Name, Choice->DiskType(), Choice->DosEmulation());
        SideMenu(Side)->setEnabled(true);
        SideDisk->SetDiskName(Choice->DiskName);
        SideDisk->SetDiskID(Choice->DiskID);
        SideDisk->SetDosType(Choice->DiskID.size() > 3 ? Choice->DiskID.substr(3, 2) : std::string());
        // The other side showing the file just replaced shows the new disk as well.
        const int OtherSide = Side == 1 ? 2 : 1;
        std::error_code Error;
        if (DiskRef(OtherSide) && std::filesystem::equivalent(DiskRef(OtherSide)->FileName(), Name, Error))
            DiskRef(OtherSide) = SideDisk;
        ViewOf(Side)->SetEmpty(true);
        RefreshChangedSide(Side);
        SideDisk->Save();
    });
}
