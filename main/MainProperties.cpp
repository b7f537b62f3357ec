// TMainForm: the disk-properties command (label, ID, DOS type, free blocks, soft write
// protection and DOS emulation of a disk) and the file-properties command (name, type,
// flags and block count of a directory entry).
#include "Main.h"

#include "D64StringGrid.h"
#include "DiskPropDlg.h"
#include "FilePropDlg.h"
#include "UserPrompts.h"

#include <QAction>

namespace {

const char* const FreeBlocksQuestion =
    "Changing the number of free blocks turns your disk in an invalid state!\r\n"
    "Do you really want to change it?";
const char* const TypeOrSizeQuestion =
    "Changing type or size of an file can turn your disk and/or file in an invalid state!\r\n"
    "Do you really want to change it?";

constexpr uint8_t LockedBit = 0x40;
constexpr uint8_t ClosedBit = 0x80;
constexpr uint8_t TypeBits = 0x3F;

// Writes the dialog's values into the disk, inside one update bracket that ends in a save.
// The dialog's changes apply even to a protected disk; the protection setting and the
// bracket are given back however the changes end. The DOS emulation is switched before the
// free blocks are written, so that the counters of tracks 36-40 go into the chosen DOS's
// area; they are written only when the user changed the count the dialog showed.
void ApplyDiskProperties(TC64Disk& Disk, const TDiskPropValues& Shown, const TDiskPropValues& Edited,
                         IUserPrompts& Prompts) {
    Disk.BeginUpdate();
    const bool Ignored = Disk.IgnoreSoftWriteProtection;
    Disk.IgnoreSoftWriteProtection = true;
    try {
        Disk.SetDiskName(Edited.DiskName);
        Disk.SetDiskID(Edited.IdPart());
        Disk.SetDosType(Edited.DosTypePart());
        if (Edited.DosEmuItem >= deCbmDos && Edited.DosEmuItem <= dePrologicDos) {
            try {
                Disk.SetDosEmulation(static_cast<TDosEmulation>(Edited.DosEmuItem));
            } catch (const EC64DiskException& Error) {
                // Refused: the emulation stays, the other changes are saved.
                Prompts.ShowMessage(QString::fromStdString(Error.what()));
            }
        }
        // SetFreeBlocks ends the bracket (brackets do not nest): what follows writes through.
        if (Edited.FreeBlocks != Shown.FreeBlocks && Prompts.AskYesNo(FreeBlocksQuestion, true))
            Disk.SetFreeBlocks(Edited.FreeBlocks);
        Disk.SetSoftWriteProtected(Edited.SoftWriteProtected);
        Disk.EndUpdate(true);
    } catch (...) {
        // A disk left inside the bracket would never write its file again.
        if (Disk.Updating()) Disk.EndUpdate(false);
        Disk.IgnoreSoftWriteProtection = Ignored;
        throw;
    }
    Disk.IgnoreSoftWriteProtection = Ignored;
}

// The type byte for an unchanged type: the entry's own type bits with the dialog's flags,
// so that codes the list shows as "?" and the other bits survive an OK.
uint8_t KeptTypeByte(uint8_t TypeByte, const TFilePropValues& Edited) {
    return static_cast<uint8_t>((TypeByte & TypeBits) | (Edited.Locked ? LockedBit : 0) |
                                (Edited.Closed ? ClosedBit : 0));
}

} // namespace

int TMainForm::CommandSide(const QAction* Sender) const {
    for (int Index = 0; Index < 2; ++Index)
        if (Sender == DiskProperties[Index] || Sender == ViewBAM[Index])
            return Sender->data().toInt() == 0 ? 1 : 2;
    return ActiveSide();
}

void TMainForm::PropertiesClick(QAction* Sender) {
    Guarded([&] {
        const int Side = CommandSide(Sender);
        // Held for the whole command, whatever happens to the pane meanwhile.
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) return;
        const TDiskPropValues Shown = TDiskPropValues::FromDisk(*SideDisk);
        const std::optional<TDiskPropValues> Edited = TDiskPropDlg::Execute(Prompts, this, Shown);
        if (!Edited) return;
        if (ChangeDisk(Side, [&] { ApplyDiskProperties(*SideDisk, Shown, *Edited, Prompts); }))
            RefreshChangedSide(Side);
    });
}

void TMainForm::Properties1Click() {
    Guarded([this] {
        const int Side = ActiveSide();
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        TD64StringGrid* View = ViewOf(Side);
        if (!SideDisk) return;
        // The blank row of an empty listing names no file: nothing to show.
        uint8_t* Entry = View->Empty() ? nullptr : View->GetRowEntry(View->Row());
        if (!Entry) return;

        TFilePropValues Shown = TFilePropValues::FromEntry(*SideDisk, Entry);
        std::optional<int> RealSize;
        try {
            RealSize = SideDisk->GetRealFileSize(Entry);
        } catch (const EC64DiskException& Error) {
            Prompts.ShowMessage(QString::fromStdString(Error.what()));
        }
        Shown.SizeNote = TFilePropValues::RealSizeNote(RealSize);
        const std::optional<TFilePropValues> Edited = TFilePropertiesDlg::Execute(Prompts, this, Shown);
        if (!Edited) return;

        const bool TypeChanged = Edited->TypeItem != Shown.TypeItem;
        const uint8_t KeptType = KeptTypeByte(Entry[2], *Edited);
        // A type byte of 0 marks a free slot: the file would leave the directory while its
        // blocks stay allocated, and the next new file would take its entry.
        const bool Leaves = !TypeChanged && KeptType == 0;
        if ((Edited->Blocks != Shown.Blocks || TypeChanged || Leaves) &&
            !Prompts.AskYesNo(TypeOrSizeQuestion, true))
            return;

        // The engine's refusals are plain messages; the command ends with the listing
        // rebuilt and the row kept, from the disk as its file holds it after a failure.
        const int Row = View->Row();
        const bool Written = ChangeDisk(
            Side,
            [&] {
                if (TypeChanged) {
                    const TFileTypeInfo Info{TFilePropValues::KindOfItem(Edited->TypeItem),
                                             static_cast<uint8_t>(Edited->Locked),
                                             static_cast<uint8_t>(Edited->Closed)};
                    SideDisk->EncodeFileType(Entry + 2, Info);
                } else {
                    SideDisk->CheckWriteAccess();
                    Entry[2] = KeptType;
                }
                SideDisk->ChangeFileEntry(Entry, Edited->Name, Edited->Blocks);
            },
            true);
        if (Written) RefreshChangedSide(Side);
        View->ClearSelection();
        View->SetRow(Row);
    });
}
