// Opening images and the all-or-nothing change of one image.
#include "ImageTransaction.h"

#include <unistd.h>

std::unique_ptr<TC64Disk> OpenImage(const std::string& ImagePath, std::optional<TDosEmulation> Dos) {
    std::unique_ptr<TC64Disk> disk = TC64Disk::OpenDiskImage(ImagePath, deCbmDos);
    // The engine has already told its notify hook why (D71, D81, G64).
    if (!disk) throw ECliError("Can't open " + ImagePath);
    if (Dos && disk->GetTrackCount() == 40) disk->SetDosEmulation(*Dos);
    return disk;
}

TImageTransaction::TImageTransaction(const std::string& ImagePath, std::optional<TDosEmulation> Dos,
                                     bool IgnoreWriteProtection)
    : FImagePath(ImagePath) {
    FDisk = OpenImage(ImagePath, Dos);
    FDisk->IgnoreSoftWriteProtection = IgnoreWriteProtection;
}

TImageTransaction::~TImageTransaction() {
    // The disk goes first, so nothing writes to the scratch file after its removal.
    FDisk.reset();
    FScratch.reset();
}

void TImageTransaction::Begin() {
    FDisk->VerifyWriteAccess();
    if (access(FImagePath.c_str(), W_OK) != 0) throw ECliError("Can't write " + FImagePath);
    FScratch = std::make_unique<TScratchFile>(FImagePath);
    FDisk->SaveToFile(FScratch->Path().string());
    // Inside the bracket the engine keeps its changes in memory; Commit saves once.
    FDisk->BeginUpdate();
}

void TImageTransaction::Commit() {
    FDisk->EndUpdate(true);
    FScratch->MoveOntoTarget();
}
