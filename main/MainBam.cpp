// TMainForm: the BAM command, the chart of a disk's blocks with toggling.
#include "Main.h"

#include "BAMDlg.h"
#include "BamView.h"
#include "UserPrompts.h"

void TMainForm::ViewBAMClick(QAction* Sender) {
    Guarded([&] {
        const int Side = CommandSide(Sender);
        const std::shared_ptr<TC64Disk> SideDisk = DiskRef(Side);
        if (!SideDisk) return;
        TBAMDlg Dialog(Prompts, this);
        Dialog.SetDisk(SideDisk.get());
        bool Confirmed = false;
        // The dialog writes the toggled blocks itself on OK and Yes.
        const bool Written = ChangeDisk(Side, [&] {
            Confirmed = Dialog.exec() == QDialog::Accepted;
            // The question on OK closed just before the dialog: a window manager may then
            // leave the focus with neither, so the window asks for it back.
            activateWindow();
            if (Dialog.ApplyError()) std::rethrow_exception(Dialog.ApplyError());
        });
        // Changes made, whether written or not, are shown again from the disk.
        if (Written && Confirmed && Dialog.BamView1->IsModified()) RefreshChangedSide(Side);
    });
}
