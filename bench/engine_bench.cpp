// Timing of the operations a user waits for: opening and listing a full directory,
// copying a full disk's files into an empty one, adding one file to a busy disk (whose
// listed chains are walked first), scratching every file, and validating a full disk.
#include "Validate.h"
#include "c64disk.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

// A folder of the run's own, removed when the run ends (registered once the name
// exists, so the removal runs before the name is destroyed).
std::string BenchDir() {
    static const std::string Dir = [] {
        std::string Template = (std::filesystem::temp_directory_path() / "kbm-bench-XXXXXX").string();
        return std::string(mkdtemp(Template.data()));
    }();
    static const bool RemovedAtExit = std::atexit([] { std::filesystem::remove_all(BenchDir()); }) == 0;
    (void)RemovedAtExit;
    return Dir;
}

void AddFile(TC64Disk& Disk, const std::string& Name, size_t Size) {
    uint8_t Entry[32] = {};
    Entry[2] = 0x82;
    StringToPetscii(Name, Entry + 5, 15);
    const size_t Blocks = (Size + 253) / 254;
    Entry[30] = static_cast<uint8_t>(Blocks);
    Entry[31] = static_cast<uint8_t>(Blocks >> 8);
    ByteArray Bytes(Size);
    for (size_t i = 0; i < Size; ++i)
        Bytes[i] = static_cast<uint8_t>(i * 7);
    Disk.AddFile(Bytes, Entry);
}

// An image in the run's folder, made by Fill the first time it is asked for.
std::string CachedImage(const std::string& Name, const std::function<void(TC64Disk&)>& Fill,
                        TDiskType Type = dt35Tracks) {
    const std::string Path = BenchDir() + "/" + Name;
    if (!std::filesystem::exists(Path)) {
        auto Disk = TC64Disk::CreateDiskImage(Path, Type, Type == dt35Tracks ? deCbmDos : deSpeedDos);
        Disk->BeginUpdate();
        Fill(*Disk);
        Disk->EndUpdate(true);
    }
    return Path;
}

// 144 files (a full directory), each of one block.
std::string FullDirectoryImage() {
    return CachedImage("dir144.d64", [](TC64Disk& Disk) {
        for (int i = 0; i < 144; ++i)
            AddFile(Disk, "FILE " + std::to_string(i), 200);
    });
}

// Every data block in use by files of assorted sizes.
void FillDisk(TC64Disk& Disk) {
    int Left = Disk.GetDataBlockCount(), i = 0;
    while (Left > 0) {
        const int Blocks = std::min(Left, 1 + (i * 13) % 40);
        AddFile(Disk, "PART " + std::to_string(i++), static_cast<size_t>(Blocks) * 254);
        Left -= Blocks;
    }
}

std::string FullDiskImage() {
    return CachedImage("full664.d64", FillDisk);
}

// 140 files of 4 blocks each: many chains to walk, 104 blocks left.
std::string BusyDiskImage() {
    return CachedImage("busy140.d64", [](TC64Disk& Disk) {
        for (int i = 0; i < 140; ++i)
            AddFile(Disk, "BUSY " + std::to_string(i), 4 * 254);
    });
}

std::vector<uint8_t*> Entries(TC64Disk& Disk) {
    std::vector<uint8_t*> List;
    Disk.ReadDirectory(TFileKindSet::AllListed(), [&](const TC64DirRecord& R) { List.push_back(R.Entry); });
    return List;
}

void BM_OpenAndListFullDirectory(benchmark::State& State) {
    const std::string Path = FullDirectoryImage();
    for (auto _ : State) {
        auto Disk = TC64Disk::OpenDiskImage(Path, deCbmDos);
        int Rows = Disk->ReadDirectory(TFileKindSet::AllListed(), [](const TC64DirRecord& R) {
            benchmark::DoNotOptimize(R.Name.data());
        });
        benchmark::DoNotOptimize(Rows);
        benchmark::DoNotOptimize(Disk->GetFreeBlocks());
    }
}
BENCHMARK(BM_OpenAndListFullDirectory)->Unit(benchmark::kMicrosecond);

// The window's copy with write-through to a real file: file by file (Arg 0), each file
// its own durable save, or as the window copies, all files in one bracket and one save.
void BM_CopyFullDiskIntoEmptyOne(benchmark::State& State) {
    auto Source = TC64Disk::OpenDiskImage(FullDiskImage(), deCbmDos);
    const auto Files = Entries(*Source);
    const std::string Target = BenchDir() + "/target.d64";
    const bool Bracketed = State.range(0) != 0;
    for (auto _ : State) {
        State.PauseTiming();
        std::filesystem::remove(Target);
        auto Disk = TC64Disk::CreateDiskImage(Target, dt35Tracks, deCbmDos);
        Disk->Save();
        State.ResumeTiming();
        if (Bracketed) Disk->BeginUpdate();
        for (uint8_t* Entry : Files)
            Disk->CopyFileFrom(Entry, *Source);
        if (Bracketed) Disk->EndUpdate(true);
    }
    State.counters["files"] = static_cast<double>(Files.size());
}
BENCHMARK(BM_CopyFullDiskIntoEmptyOne)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// d64tool import's engine work: 144 files (664 blocks) into a new disk in one bracket, in
// memory, as the import keeps them until its one save.
void BM_Import144Files(benchmark::State& State) {
    for (auto _ : State) {
        auto Disk = TC64Disk::CreateDiskImage(BenchDir() + "/import.d64", dt35Tracks, deCbmDos);
        Disk->BeginUpdate();
        for (int i = 0; i < 144; ++i)
            AddFile(*Disk, "FILE " + std::to_string(i), (i < 88 ? 5 : 4) * 254 - 10);
        benchmark::DoNotOptimize(Disk->GetFreeBlocks());
    }
}
BENCHMARK(BM_Import144Files)->Unit(benchmark::kMillisecond);

// In memory only, and only the call timed, so that the figure is the engine's own work.
void BM_AddOneFileToBusyDisk(benchmark::State& State) {
    const std::string Path = BusyDiskImage();
    for (auto _ : State) {
        auto Disk = TC64Disk::OpenDiskImage(Path, deCbmDos);
        Disk->BeginUpdate();
        const auto Start = std::chrono::steady_clock::now();
        AddFile(*Disk, "ONE MORE", 254);
        State.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
}
BENCHMARK(BM_AddOneFileToBusyDisk)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ScratchAllFiles(benchmark::State& State) {
    const std::string Path = BenchDir() + "/scratch.d64";
    for (auto _ : State) {
        State.PauseTiming();
        std::filesystem::copy_file(FullDiskImage(), Path, std::filesystem::copy_options::overwrite_existing);
        auto Disk = TC64Disk::OpenDiskImage(Path, deCbmDos);
        const auto Files = Entries(*Disk);
        State.ResumeTiming();
        Disk->ScratchFiles(Files, false);
    }
}
BENCHMARK(BM_ScratchAllFiles)->Unit(benchmark::kMicrosecond);

// A full 40-track image checked in memory: the fresh BAM traced and compared.
void BM_ValidateFull40TrackDisk(benchmark::State& State) {
    auto Disk = TC64Disk::OpenDiskImage(CachedImage("full749.d64", FillDisk, dt40Tracks), deCbmDos);
    for (auto _ : State) {
        const TValidation Found = Validate(*Disk);
        if (!Found.Findings.empty()) State.SkipWithError("the full image is not consistent");
        benchmark::DoNotOptimize(Found.Findings.data());
    }
}
BENCHMARK(BM_ValidateFull40TrackDisk)->Unit(benchmark::kMicrosecond);

// A full 1581 image: 296 files (a full directory: track 40 whole) in all 3160 data blocks.
std::string FullD81Image() {
    return CachedImage(
        "full296.d81",
        [](TC64Disk& Disk) {
            for (int i = 0; i < 296; ++i)
                AddFile(Disk, "D81 FILE " + std::to_string(i), (i < 200 ? 11 : 10) * 254);
        },
        dtD81);
}

void BM_OpenAndListFullD81(benchmark::State& State) {
    const std::string Path = FullD81Image();
    for (auto _ : State) {
        auto Disk = TC64Disk::OpenDiskImage(Path, deCbmDos);
        benchmark::DoNotOptimize(Disk->ReadDirectory(TFileKindSet::AllListed(), [](const TC64DirRecord& R) {
            benchmark::DoNotOptimize(R.Name.data());
        }));
        benchmark::DoNotOptimize(Disk->GetFreeBlocks());
    }
}
BENCHMARK(BM_OpenAndListFullD81)->Unit(benchmark::kMicrosecond);

// As the window copies: every file of the full D81 into a new one, one bracket, one save.
void BM_CopyFullD81IntoEmptyOne(benchmark::State& State) {
    auto Source = TC64Disk::OpenDiskImage(FullD81Image(), deCbmDos);
    const auto Files = Entries(*Source);
    if (Files.size() != 296 || Source->GetFreeBlocks() != 0) State.SkipWithError("the D81 is not full");
    const std::string Target = BenchDir() + "/target.d81";
    for (auto _ : State) {
        State.PauseTiming();
        std::filesystem::remove(Target);
        auto Disk = TC64Disk::CreateDiskImage(Target, dtD81, deCbmDos);
        Disk->Save();
        State.ResumeTiming();
        Disk->BeginUpdate();
        for (uint8_t* Entry : Files)
            Disk->CopyFileFrom(Entry, *Source);
        Disk->EndUpdate(true);
    }
}
BENCHMARK(BM_CopyFullD81IntoEmptyOne)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
