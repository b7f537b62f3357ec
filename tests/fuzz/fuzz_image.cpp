// libFuzzer target: builds an image from arbitrary bytes and runs the engine over it:
// listing, every file's load, the BAM queries, a file added (a REL file every other time;
// it must leave every readable file as it was), a scratch and copies into a fresh image.
// Input: byte 0 picks the disk type (D64 or D71; bit 7: a 1581 image), byte 1 the DOS of 40-track images, then records of
// [track][sector][up to 256 bytes] overwrite sectors of a freshly formatted image.
#include "c64disk.h"
#include "d64.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

// The folder for the images of each run: KBM_FUZZ_DIR when the run script gives one
// (it removes it, whatever way the fuzzer ends), else a folder of our own, removed at exit.
const std::string& WorkDir() {
    static const std::string Dir = [] {
        if (const char* Given = std::getenv("KBM_FUZZ_DIR")) return std::string(Given);
        // tmpfs where there is one: every run saves the image.
        std::string Template =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/kbm-fuzz-XXXXXX" : "/tmp/kbm-fuzz-XXXXXX";
        if (!mkdtemp(Template.data())) abort();
        return Template;
    }();
    static const bool Cleanup = [] {
        if (!std::getenv("KBM_FUZZ_DIR")) std::atexit([] { std::filesystem::remove_all(Dir); });
        return true;
    }();
    (void)Cleanup;
    return Dir;
}

template <typename F> void Try(F&& Step) {
    try {
        Step();
    } catch (const EC64DiskException&) {
    } catch (const ENoSuchElementException&) {
    }
}

void Exercise(TC64Disk& Disk, const std::string& TargetPath) {
    std::vector<uint8_t*> Entries;
    Try([&] {
        Disk.GetHeaderLine();
        Disk.ReadDirectory(TFileKindSet(0xFF), [&](const TC64DirRecord& R) { Entries.push_back(R.Entry); });
    });
    for (uint8_t* Entry : Entries) {
        Try([&] {
            const ByteArray Bytes = Disk.LoadFile(Entry);
            if (static_cast<int>(Bytes.size()) != Disk.GetRealFileSize(Entry)) abort();
        });
    }
    Try([&] {
        int Free = 0;
        for (int t = 1; t <= Disk.GetTrackCount(); ++t) {
            // Neither the directory track nor a 1571 disk's side-two BAM track counts.
            const bool Counted = t != Disk.DirTrack() && !(t == 53 && (Disk.DiskType() == dt71 || Disk.DiskType() == dt71ErrorInfo));
            Free += Counted ? Disk.GetTrackFreeSectors(t) : 0;
            for (int s = 0; s < Disk.GetSectorsPerTrack(t); ++s)
                Disk.IsSectorUsed(MakeTrackSector(t, s));
        }
        if (Free != Disk.GetFreeBlocks()) abort();
        Disk.FindNextFreeSector(Disk.FindFirstFreeSector(), false);
    });
    if (auto Target = TC64Disk::CreateDiskImage(TargetPath, dt35Tracks, deCbmDos)) {
        Target->BeginUpdate(); // memory only: the fuzzer needs no file per change
        for (uint8_t* Entry : Entries)
            Try([&] { Target->CopyFileFrom(Entry, Disk); });
        Target->EndUpdate(false);
    }
    // A file added to the damaged disk itself never costs an entry already listed nor
    // a byte of a file that could be read before; a refused one changes nothing.
    Disk.BeginUpdate();
    Try([&] {
        std::vector<std::pair<uint8_t*, ByteArray>> Readable;
        const int Before = Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) {
            Try([&] { Readable.emplace_back(R.Entry, Disk.LoadFile(R.Entry)); });
        });
        const ByteArray Image(Disk.Image(), Disk.Image() + Disk.ImageSize());
        uint8_t Entry[32] = {0, 0, 0x82, 0, 0, 'N', 'E', 'W'};
        if (Before % 2) { // every other time a REL file, with its side sectors
            Entry[2] = 0x84;
            Entry[23] = 50;
        }
        try {
            Disk.AddFile(ByteArray(600, 0x5A), Entry);
        } catch (const EC64DiskException&) {
            if (!std::equal(Image.begin(), Image.end(), Disk.Image())) abort();
            throw;
        }
        if (Disk.ReadDirectory(TFileKindSet::AllListed(), [](const TC64DirRecord&) {}) != Before + 1) abort();
        for (const auto& [FileEntry, Bytes] : Readable) {
            ByteArray Now;
            try {
                Now = Disk.LoadFile(FileEntry);
            } catch (...) {
                abort();
            }
            if (Now != Bytes) abort();
        }
    });
    Disk.EndUpdate(false);
    Entries.clear();
    Try([&] {
        Disk.ReadDirectory(TFileKindSet(0xFF), [&](const TC64DirRecord& R) { Entries.push_back(R.Entry); });
    });
    if (!Entries.empty()) {
        Disk.BeginUpdate();
        Try([&] { Disk.ScratchFiles({Entries.front()}, Entries.size() % 2 == 0); });
        Disk.EndUpdate(false);
        Try([&] { Disk.ReadDirectory(TFileKindSet::AllListed(), [](const TC64DirRecord&) {}); });
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    auto Type = static_cast<TDiskType>(Data[0] % 6 + 1); // 1541 and 1571 kinds
    // Bit 7 of the first byte picks a 1581 image, bit 0 its error bytes.
    if (Data[0] & 0x80) Type = Data[0] & 1 ? dtD81ErrorInfo : dtD81;
    const bool Forty = Type == dt40Tracks || Type == dt40TracksErrorInfo;
    const TDosEmulation Dos = Forty ? (Data[1] & 1 ? deDolphinDos : deSpeedDos) : deCbmDos;
    const std::string Path = WorkDir() + "/image.d64";
    const std::string TargetPath = WorkDir() + "/target.d64";
    auto Disk = TC64Disk::CreateDiskImage(Path, Type, Dos);
    for (size_t Pos = 2; Pos + 2 <= Size; Pos += 258) {
        // Asked each time: a record over a 1571 header can make the disk single-sided.
        const int Track = Data[Pos] % Disk->GetTrackCount() + 1;
        const int Sector = Data[Pos + 1] % Disk->GetSectorsPerTrack(Track);
        const size_t n = std::min<size_t>(256, Size - Pos - 2);
        std::memcpy(Disk->GetSector(MakeTrackSector(Track, Sector)), Data + Pos + 2, n);
    }
    // Through the file, so loading is exercised too.
    Disk->Save();
    auto Loaded = TC64Disk::OpenDiskImage(Path, deCbmDos);
    if (!Loaded || Loaded->ImageSize() != Disk->ImageSize()) abort();
    if (Dos != deCbmDos) Loaded->SetDosEmulation(Dos);
    Exercise(*Loaded, TargetPath);
    return 0;
}
