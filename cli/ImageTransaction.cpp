// Opening images and the all-or-nothing change of one image.
#include "ImageTransaction.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <unistd.h>

namespace {

// Locks an image for the whole command. A writer that replaced the file between our
// open and our lock leaves us holding the old file: lock the one the path names now, for
// as long as the command's wait allows. Then nothing that image's commands make can be
// in use by another command, and what killed ones left is removed.
std::unique_ptr<HostFile::THeldLock> LockImage(const std::string& ImagePath, bool Exclusive,
                                               std::ostream& Err) {
    // A missing file or something that is no file is reported by the engine's checks.
    if (!HostFile::IsRegularFile(ImagePath)) return nullptr;
    // Brief waits are the normal course when scripts share an image; longer ones are told.
    bool Told = false;
    const auto Start = std::chrono::steady_clock::now();
    for (;;) {
        const auto Waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start);
        if (Waited >= CommandLockWait)
            throw ECliError("Can't lock " + ImagePath + ": it keeps being replaced by another program");
        const auto Tell = [&](std::chrono::milliseconds Now) {
            if (Told || Waited + Now < std::chrono::milliseconds(500)) return;
            Err << "d64tool: waiting for " << ImagePath << ", which another program is using\n";
            Told = true;
        };
        auto Lock =
            std::make_unique<HostFile::THeldLock>(ImagePath, Exclusive, CommandLockWait - Waited, Tell);
        if (Lock->StillNamesFile()) {
            RemoveStaleScratchFiles(ImagePath);
            return Lock;
        }
    }
}

std::unique_ptr<TC64Disk> LoadImage(const std::string& ImagePath, std::optional<TDosEmulation> Dos) {
    std::unique_ptr<TC64Disk> disk = TC64Disk::OpenDiskImage(ImagePath, deCbmDos);
    // The engine has already told its notify hook why (D71, D81, G64).
    if (!disk) throw ECliError("Can't open " + ImagePath);
    if (Dos && disk->GetTrackCount() == 40) disk->SetDosEmulation(*Dos);
    return disk;
}

} // namespace

std::unique_ptr<TC64Disk> OpenImage(const std::string& ImagePath, std::optional<TDosEmulation> Dos,
                                    std::ostream& Err) {
    // Restoring an image from the journal of an interrupted save writes to it.
    const auto Lock = LockImage(ImagePath, HostFile::HasInterruptedWrite(ImagePath), Err);
    return LoadImage(ImagePath, Dos);
}

TImageTransaction::TImageTransaction(const std::string& ImagePath, std::optional<TDosEmulation> Dos,
                                     bool IgnoreWriteProtection, std::ostream& Err)
    : FImagePath(ImagePath) {
    FLock = LockImage(ImagePath, true, Err);
    FDisk = LoadImage(ImagePath, Dos);
    FDisk->IgnoreSoftWriteProtection = IgnoreWriteProtection;
    // What was loaded, to be sure at the end that nothing that ignores locks changed it.
    HostFile::TFile File(ImagePath, HostFile::TFile::TMode::Read);
    FLoaded.Record(File.Stamp(), FDisk->Image(), FDisk->ImageSize());
}

TImageTransaction::~TImageTransaction() {
    // The disk goes first, so nothing writes to the scratch file after its removal.
    FDisk.reset();
    FScratch.reset();
}

void TImageTransaction::Begin() {
    FDisk->VerifyWriteAccess();
    if (access(FImagePath.c_str(), W_OK) != 0)
        throw ECliError("Can't write " + FImagePath + ": " + std::strerror(errno));
    // Anything the engine saves before the commit goes to the scratch copy, never to the
    // image; the commit is the one durable save. Most commands save nothing before it, so
    // the copy (a private folder and a file) is made only when the engine first saves.
    FDisk->UseScratchFile([this] {
        FScratch = std::make_unique<TScratchFile>(FImagePath);
        return FScratch->Path().string();
    });
    // Inside the bracket the engine keeps its changes in memory.
    FDisk->BeginUpdate();
}

void TImageTransaction::Commit() {
    FDisk->EndUpdate(false);
    HostFile::ReplaceWhole(FImagePath, FDisk->Image(), FDisk->ImageSize(), [this](HostFile::TFile& Old) {
        if (!FLoaded.Matches(Old)) throw EC64DiskChangedException(FImagePath);
    });
}
